// The search boxes and the entry commit: Enter with unique, several and no hits, the
// candidate pick, the quote, the row step, the "C" button, and the searches that find
// nothing or have no catalogue to search.
#include <gtest/gtest.h>

#include "catalogue_fixture.h"
#include "vb/text.h"

namespace {

using testing_support::CatalogueTest;
using vb::Variant;

class SearchTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    connect(writeCatalogue("cat.xlsx", {
                                           entry("1", "R-001", "CHIP RES 0603", "10KΩ", 0.35),
                                           entry("2", "R-002", "CHIP RES 0603", "4.7K", 0.1),
                                           entry("3", "C-001", "CHIP CAP 0402", "4.7μF"),
                                           entry("4", "C-002", "CHIP CAP 0805", "100nF"),
                                           {Variant("5"), Variant("E-001"), Variant(vb::ErrorValue{vb::kErrNA}),
                                            Variant("LED"), Variant("PCS"), Variant(), Variant(), Variant(0.5)},
                                       }));
    addRow("RES", "10K");
    addRow("CAP", "1uF", "3", "c1");
    clickRow(1);
  }
  void search(const std::string& code, const std::string& name, const std::string& rating) {
    w->text5.setText(code);
    w->text3.setText(name);
    w->text2.setText(rating);
    key(w->text2, 13);
  }
  std::vector<std::string> candidates() {
    std::vector<std::string> out;
    for (int r = 0; r < w->candidateGrid().rowCount(); ++r) out.push_back(w->candidateGrid().cell(r, 1));
    return out;
  }
};

TEST_F(SearchTest, EnterListsEveryHitAndCommitsAUniqueOne) {
  struct Case {
    const char* code;
    const char* name;
    const char* rating;
    std::vector<std::string> hits;
  } cases[] = {
      {"", "0603", "", {"R-001", "R-002"}},
      {"", "res", "10kr", {"R-001"}},          // Ω is compared as R, case ignored
      {"", "", "10KΩ", {}},                     // the box text is not folded
      {"", "", "4.7u", {"C-001"}},
      {"c-", "", "", {"C-001", "C-002"}},
      {"", "CHIP ??? 0[48]0*", "", {"C-001", "C-002"}},
      {"", "", "#.#K", {"R-002"}},
      {"", "[#]N/A", "", {"E-001"}},            // an error value is its display text
      {" ", "", "", {"R-001", "R-002", "C-001", "C-002", "E-001"}},  // blanks only: every entry
      {"", "RES [0603", "", {}},                // not a well-formed pattern: nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code) + "/" + c.name + "/" + c.rating);
    const size_t shown = messages().size();
    search(c.code, c.name, c.rating);
    EXPECT_EQ(candidates(), c.hits);
    if (c.hits.empty()) EXPECT_EQ(lastMessage(), "   没有匹配结果!");
    else EXPECT_EQ(messages().size(), shown);
    EXPECT_EQ(w->command11.left(), 9885);
    EXPECT_EQ(w->command11.top(), 4900);
  }
}

TEST_F(SearchTest, AUniqueHitIsWrittenWithTheBoxesQuantityAndDesignatorsAndAFreshQuote) {
  w->text6.setText("2");
  w->text7.setText("r1,r5");
  search("", "", "10kr");
  EXPECT_EQ(gridRow(1), "1|R-001|CHIP RES 0603|10KΩ|PCS|2|R1,R5|0.35|ACME|0.7|note");
  EXPECT_EQ(w->text7.text(), "r1,r5");
  EXPECT_EQ(w->rowPreview().cell(0, 3), "10K") << "the preview shows the row as it was";

  struct Quote {
    const char* quantity;
    const char* rating;
    const char* quote;
  } quotes[] = {{"3", "4.7K", "0.3"}, {"4", "10kr", "1.4"}, {"", "4.7K", ""}, {"x", "4.7K", ""}};
  for (const Quote& q : quotes) {
    SCOPED_TRACE(q.quantity);
    w->text6.setText(q.quantity);
    search("", "", q.rating);
    EXPECT_EQ(grid().cell(0, workbench::kQuoteColumn), q.quote) << "never the previous material's quote";
  }

  // An error value is written as its text.
  search("E-", "", "");
  EXPECT_EQ(grid().cell(0, workbench::kNameColumn), "#N/A");
}

TEST_F(SearchTest, APickedCandidateIsCommittedIntoTheCurrentRow) {
  search("", "0603", "");
  ASSERT_EQ(w->candidateGrid().rowCount(), 2);
  EXPECT_EQ(w->candidateGrid().columnWidth(3), grid().columnWidth(3));
  w->text6.setText("4");
  w->text7.setText("r9");
  program->dispatch([&] {
    w->candidateGrid().setSelectedRow(1);
    w->candidateGrid().userDblClick();
  });
  EXPECT_EQ(gridRow(1), "1|R-002|CHIP RES 0603|4.7K|PCS|4|R9|0.1|ACME|0.4|note");
  EXPECT_EQ(w->candidateGrid().rowCount(), 0);
  EXPECT_EQ(w->text2.text(), "4.7K");
}

TEST_F(SearchTest, ANewRowLosesItsBoxesAtItsFirstCommit) {
  grid().setSelectedRow(1);
  click(w->command13);  // "+" after the last row
  w->text6.setText("5");
  w->text7.setText("u1");
  search("C-002", "", "");
  EXPECT_EQ(gridRow(3), "3|C-002|CHIP CAP 0805|100nF|PCS|5|U1|0.1|ACME|0.5|");
  EXPECT_EQ(w->newRowFlag, 0);
  EXPECT_EQ(w->text6.text(), "");
  EXPECT_EQ(w->text7.text(), "");
}

TEST_F(SearchTest, WithoutACurrentRowOrACatalogueNothingIsWritten) {
  const std::string first = gridRow(1), second = gridRow(2);
  for (int index : {0, 9}) {
    w->currentRowIndex = index;
    search("R-001", "", "");
    EXPECT_EQ(w->candidateGrid().rowCount(), 1);
    EXPECT_EQ(gridRow(1), first);
    EXPECT_EQ(gridRow(2), second);
  }
}

TEST_F(SearchTest, EmptyBoxesOrAnEmptyGridSearchNothing) {
  search("R-001", "", "");
  const size_t shown = messages().size();
  search("", "", "");
  EXPECT_EQ(w->candidateGrid().rowCount(), 1) << "not even the candidates are emptied";
  grid().clearRows();
  search("R-001", "", "");
  EXPECT_EQ(messages().size(), shown);
}

TEST_F(SearchTest, UpAndDownStepTheCurrentRowAndRefreshTheRatingBox) {
  w->text6.setText("7");
  key(w->text3, 40);  // Down in the name box
  EXPECT_EQ(w->currentRowIndex, 2);
  EXPECT_EQ(grid().selectedRow(), 1);
  EXPECT_EQ(w->text2.text(), "1uF");
  EXPECT_EQ(w->text6.text(), "7") << "the quantity box is left alone";
  EXPECT_EQ(w->rowPreview().cell(0, 0), "2");
  EXPECT_EQ(w->text3.selStart(), static_cast<int>(vb::len(w->text3.text())));
  key(w->text5, 40);  // at the last row the selection stays
  EXPECT_EQ(w->currentRowIndex, 2);
  key(w->text2, 38);
  key(w->text2, 38);
  EXPECT_EQ(w->currentRowIndex, 1);
  EXPECT_EQ(w->text2.text(), "10K");
  key(w->text6, 40);  // the quantity box does not step
  EXPECT_EQ(w->currentRowIndex, 1);
}

TEST_F(SearchTest, TheClearButtonEmptiesTheBoxItSitsInOrAllThreeWhenParked) {
  w->text5.setText("a");
  w->text3.setText("b");
  w->text2.setText("c");
  click(w->command11);  // at home: nothing
  EXPECT_EQ(w->text3.text(), "b");
  program->dispatch([&] { w->setFocus(w->text3); });
  EXPECT_EQ(w->command11.left(), w->text3.left() + w->text3.width() - 380);
  EXPECT_EQ(w->command11.top(), w->text3.top());
  click(w->command11);
  EXPECT_EQ(w->text3.text(), "");
  EXPECT_EQ(w->text5.text(), "a");
  program->dispatch([&] { w->setFocus(w->text5); });
  EXPECT_EQ(w->command11.left(), w->text5.left() + w->text5.width() - 370);
  click(w->command11);
  EXPECT_EQ(w->text5.text(), "");
  search("", "", "4.7u");
  w->text5.setText("a");
  click(w->command11);  // parked after the search
  EXPECT_EQ(w->text5.text() + w->text3.text() + w->text2.text(), "");
}

TEST_F(SearchTest, NoCatalogueLoadedIsReported) {
  auto* fresh = static_cast<catalogue::CatalogueCommands*>(w->catalogue());
  ASSERT_TRUE(fresh->catalogue().loaded());
  w->setCatalogue(std::make_unique<catalogue::CatalogueCommands>(
      *w, program->services(), program->settings(), [this]() -> platform::CommonDialog& { return tool().dialog(); }));
  search("R-001", "", "");
  EXPECT_EQ(lastMessage(), "请先连接数据库再执行此操作!");
  EXPECT_EQ(w->candidateGrid().rowCount(), 0);
}

}  // namespace
