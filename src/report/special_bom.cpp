// The sheet "Special BOM" in front of the BOM on sheet 1 of the active workbook,
// N designators per line, each item's number, value, package and quantity merged down
// over its lines. Every step runs under SkipOnError: a failing step is skipped, a failing
// test takes its Then branch.
#include "platform/workbook_helpers.h"
#include "report/special_bom.h"
#include "report/special_bom_sheet.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace report {

namespace xl = platform::xl;

namespace {

constexpr const char* kSeveralWorkbooks =
    "请选择打开的Excel文件中,您将要处理的文件,重新执行此命令!\n"
    "或者关闭多余的Excel文件,重新执行此命令!\n"
    "否则程序默认处理当前工作薄数据!!!";
constexpr const char* kConfirmWorkbook = "请确定打开的Excel文件,是您将要处理的文件.";
constexpr const char* kNoSheets = "当前为空白工作薄";

// The five-column BOM: No, Value and Decal on every line, QTY on the first, the
// designators from column E.
const SpecialBomLayout kFiveColumnLayout{
    4, {"No", "Value", "Decal", "QTY", "Name"}, {{"A", 10}, {"B", 15}, {"C", 15}, {"D", 5}, {"E", 25}}, false, false};

// One run of the special BOM. Every step runs under the run's SkipOnError guard.
class SpecialBomRun {
 public:
  explicit SpecialBomRun(platform::ToolContext& t) : t_(t), st_(t.state), user_(t.user()) {}

  // The program, the workbook and the number per line; 0 when one of these ended
  // the command.
  long designatorsPerLine() {
    guard_.step([&] { platform::attachSpreadsheet(t_.services, t_.settings, st_.spreadsheetApp); });
    if (guard_.number() == vb::kCannotCreate) {
      notify(kOpenBomMessage);
      return 0;
    }
    if (holds([&] { return app().workbookCount() > 1; })) {
      if (platform::askYes(user_, platform::kTitle, kSeveralWorkbooks)) return 0;
    } else if (!platform::askYes(user_, platform::kTitle, kConfirmWorkbook)) {
      return 0;
    }
    if (holds([&] { return app().activeWorkbook()->sheetCount() < 1; })) {
      notify(kNoSheets);
      return 0;
    }
    // The answer is kept before the range check; one that is no number keeps the old one.
    std::string answer = user_.input(platform::kTitle, kDesignatorColumnsPrompt, "5");
    guard_.step([&] { st_.refColumns = vb::toInteger(vb::Variant(answer)); });
    if (st_.refColumns < 5 || st_.refColumns > 20) {
      notify(kBadDesignatorColumns, platform::Icon::Information);
      return 0;
    }
    return st_.refColumns;
  }

  // The earlier Special BOM deleted and the new one built in front.
  void build(long n) {
    if (!st_.spreadsheetApp) return;
    long lastLine = 0;
    if (writeSpecialBom(*st_.spreadsheetApp, t_.settings, user_, kFiveColumnLayout, n, guard_, lastLine) ==
        SpecialBomResult::Built)
      st_.partCount = lastLine;
  }

 private:
  xl::Application& app() {
    if (!st_.spreadsheetApp) vb::raise(vb::kObjectNotSet);
    return *st_.spreadsheetApp;
  }
  // A test whose evaluation fails takes its Then branch.
  template <class Test>
  bool holds(Test&& test) {
    bool result = true;
    guard_.step([&] { result = test(); });
    return result;
  }
  void notify(const char* text, platform::Icon icon = platform::Icon::None) {
    platform::notify(user_, platform::kTitle, text, icon);
  }

  platform::ToolContext& t_;
  platform::ToolState& st_;
  platform::User& user_;
  vb::SkipOnError guard_;
};

}  // namespace

void buildSpecialBom(platform::ToolContext& t) {
  SpecialBomRun run(t);
  if (long n = run.designatorsPerLine()) run.build(n);
}

}  // namespace report
