#include "platform/win/automation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win/dispatch_object.h"
#include "platform/win/wide_text.h"
#include "support/runtime_errors.h"

using platform::win::Arg;
using platform::win::Automation;
using platform::win::ComApartment;
using platform::win::ComRef;
using platform::win::ComVariant;
using platform::win::DispatchCall;
using platform::win::DispatchObject;
using platform::win::ServedProgram;
using vb::Table;
using vb::Variant;

namespace {

const char kChineseFailure[] = "无法设置 Range 类的 Value 属性";

using testing_support::expectError;

Table block(std::vector<std::vector<Variant>> rows) {
  Table t(static_cast<long>(rows.size()), rows.empty() ? 0 : static_cast<long>(rows[0].size()));
  for (long r = 1; r <= t.rows(); ++r)
    for (long c = 1; c <= t.cols(); ++c) t(r, c) = rows[r - 1][c - 1];
  return t;
}

// Every test checks that the objects it made are gone at its end: no reference leaks on
// any path, the error paths included.
class AutomationTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(DispatchObject::living(), living_) << "DispatchObjects left alive"; }
  ComApartment apartment_;
  long living_ = DispatchObject::living();
};

// A small object with one member of each kind.
struct Gadget {
  std::string name = "gadget";
  std::string linked;
  Table cells = Table(2, 2);
  ComRef<DispatchObject> object = DispatchObject::create();
  ComRef<DispatchObject> part = DispatchObject::create();

  Gadget() {
    part->property("Name", [](DispatchCall&) { return Variant("part"); }).defaultMember("Name");
    object->property("Name", [this](DispatchCall&) { return Variant(name); },
                     [this](DispatchCall& c) {
                       name = c.value().text();
                       return Variant();
                     });
    object->property("ReadOnly", [](DispatchCall&) { return Variant(1); });
    // Scale(Value, [Factor = 1], [Offset = 0]).
    object->method("Scale",
                   [](DispatchCall& c) {
                     double factor = c.hasParam("Factor") ? c.param("Factor").number() : 1;
                     double offset = c.hasParam("Offset") ? c.param("Offset").number() : 0;
                     return Variant(c.param("Value").number() * factor + offset);
                   },
                   {"Value", "Factor", "Offset"});
    object->property("Block",
                     [this](DispatchCall& c) {
                       c.returnTable(cells);
                       return Variant();
                     },
                     [this](DispatchCall& c) {
                       cells = c.valueTable();
                       return Variant();
                     });
    // Cell(row, column): a property with arguments, read and written.
    object->property("Cell", [this](DispatchCall& c) {
                       return cells.at(static_cast<long>(c.arg(0).number()), static_cast<long>(c.arg(1).number()));
                     },
                     [this](DispatchCall& c) {
                       cells.at(static_cast<long>(c.arg(0).number()), static_cast<long>(c.arg(1).number())) = c.value();
                       return Variant();
                     });
    object->method("Fail", [](DispatchCall&) -> Variant { throw vb::Error(1004, kChineseFailure); });
    object->method("Crash", [](DispatchCall&) -> Variant { throw std::runtime_error("crashed"); });
    // Linked = object: an object assigned to a property.
    object->property("Linked", [this](DispatchCall&) { return Variant(linked); },
                     [this](DispatchCall& c) {
                       linked = c.valueObject().get("Name").text();
                       return Variant();
                     });
    object->property("Part", [this](DispatchCall& c) {
      c.returnObject(part->automation());
      return Variant();
    });
    object->property("Nothing", [](DispatchCall& c) {
      c.returnObject(Automation());
      return Variant();
    });
    // NameOf(target): an object passed as an argument.
    object->method("NameOf", [](DispatchCall& c) { return c.object(0).get("Name"); });
    object->method("Echo", [](DispatchCall& c) { return c.arg(0); });
    object->method("EchoBlock", [](DispatchCall& c) {
      c.returnTable(c.table(0));
      return Variant();
    });
  }
};

TEST_F(AutomationTest, PropertiesMethodsAndNamedArguments) {
  Gadget g;
  Automation a = g.object->automation();
  EXPECT_EQ(a.get("Name"), Variant("gadget"));
  a.put("Name", "改名 renamed");
  EXPECT_EQ(g.name, "改名 renamed");
  EXPECT_EQ(a.get("name"), Variant("改名 renamed")) << "names are looked up without regard to case";

  EXPECT_EQ(a.call("Scale", {3}).value(), Variant(3.0));
  EXPECT_EQ(a.call("Scale", {3, 2, 1}).value(), Variant(7.0));
  EXPECT_EQ(a.call("Scale", {3}, {{"Offset", 10}}).value(), Variant(13.0));
  EXPECT_EQ(a.call("Scale", {}, {{"offset", 1}, {"Value", 4}, {"Factor", 5}}).value(), Variant(21.0));
  EXPECT_EQ(a.call("Scale", {3, Arg::missing(), 1}).value(), Variant(4.0)) << "a left-out argument";

  a.put("Cell", "x", 2, 1);
  EXPECT_EQ(g.cells(2, 1), Variant("x"));
  EXPECT_EQ(a.get("Cell", 2, 1), Variant("x"));
}

TEST_F(AutomationTest, ObjectsAsResultsArgumentsAndDefaultValues) {
  Gadget g;
  Automation a = g.object->automation();
  Automation part = a.getObject("Part");
  EXPECT_TRUE(part.sameObject(g.part->automation()));
  EXPECT_EQ(part.get("Name"), Variant("part"));
  // An object read as a value gives its default member.
  EXPECT_EQ(a.get("Part"), Variant("part"));
  EXPECT_EQ(a.call("NameOf", {part}).value(), Variant("part"));
  EXPECT_EQ(a.call("NameOf", {a}).value(), Variant("gadget"));
  a.put("Linked", part);
  EXPECT_EQ(g.linked, "part");
  EXPECT_TRUE(a.getObject("Nothing").empty());
  expectError([&] { a.getObject("Nothing").get("Name"); }, vb::kObjectNotSet);
}

TEST_F(AutomationTest, ObjectsOfOneKindShareItsMembersAndHoldTheirOwnData) {
  struct Item {
    std::string name;
  };
  ComRef<DispatchObject> kind = DispatchObject::create();
  kind->property("Name", [](DispatchCall& c) { return Variant(c.data<Item>().name); },
                 [](DispatchCall& c) {
                   c.data<Item>().name = c.value().text();
                   return Variant();
                 })
      .defaultMember("Name");
  auto first = DispatchObject::create(*kind.get(), std::make_shared<Item>(Item{"first"}));
  auto second = DispatchObject::create(*kind.get(), std::make_shared<Item>(Item{"second"}));
  // An object made from one of them serves the same kind.
  auto third = DispatchObject::create(*second.get(), std::make_shared<Item>(Item{"third"}));
  Automation a = first->automation(), b = second->automation();
  b.put("name", "renamed");
  EXPECT_EQ(a.get(""), Variant("first"));
  EXPECT_EQ(b.get("Name"), Variant("renamed"));
  EXPECT_EQ(third->automation().get("Name"), Variant("third"));
  expectError([&] { a.get("Missing"); }, platform::win::kNoSuchMember);
  EXPECT_THROW(first->method("Own", [](DispatchCall&) { return Variant(); }), std::logic_error);

  // The kind lives as long as an object of it does.
  const long before = DispatchObject::living();
  kind.reset();
  third.reset();
  EXPECT_EQ(DispatchObject::living(), before - 1);
  EXPECT_EQ(a.get("Name"), Variant("first"));
}

TEST_F(AutomationTest, BlockPropertyWritesAndReadsEveryCellInOneCall) {
  Gadget g;
  Automation a = g.object->automation();
  Table t = block({{1.5, "电阻 R1", true, Variant()}, {vb::ErrorValue{vb::kErrNA}, -2, "", false}});
  a.put("Block", t);
  EXPECT_EQ(g.cells.rows(), 2);
  EXPECT_EQ(g.cells.cols(), 4);
  for (long r = 1; r <= 2; ++r)
    for (long c = 1; c <= 4; ++c) EXPECT_EQ(g.cells(r, c), t(r, c)) << r << "," << c;
  Table back = a.getTable("Block");
  ASSERT_EQ(back.rows(), 2);
  ASSERT_EQ(back.cols(), 4);
  for (long r = 1; r <= 2; ++r)
    for (long c = 1; c <= 4; ++c) EXPECT_EQ(back(r, c), t(r, c)) << r << "," << c;
  // One value reads as a 1 x 1 block.
  Table one = a.getTable("Name");
  ASSERT_EQ(one.rows(), 1);
  EXPECT_EQ(one(1, 1), Variant("gadget"));
}

TEST_F(AutomationTest, ValuesRoundTripThroughTheCall) {
  Gadget g;
  Automation a = g.object->automation();
  const std::vector<Variant> values{Variant(), 0.0, -1.25, 1e300, "", "0402", "中文 与 English", "\xF0\x9F\x98\x80",
                                    true, false, vb::ErrorValue{vb::kErrNA}, vb::ErrorValue{vb::kErrNum},
                                    vb::ErrorValue{2007}};
  for (const Variant& v : values) EXPECT_EQ(a.call("Echo", {v}).value(), v);
  Table t(3, 5);
  for (size_t i = 0; i < values.size(); ++i) t(static_cast<long>(i / 5 + 1), static_cast<long>(i % 5 + 1)) = values[i];
  Table back = a.call("EchoBlock", {t}).table();
  ASSERT_EQ(back.rows(), 3);
  ASSERT_EQ(back.cols(), 5);
  for (long r = 1; r <= 3; ++r)
    for (long c = 1; c <= 5; ++c) EXPECT_EQ(back(r, c), t(r, c));
}

TEST_F(AutomationTest, ErrorsOfOurObjectMapToTheRuntimeNumbers) {
  Gadget g;
  Automation a = g.object->automation();
  expectError([&] { a.call("Fail"); }, 1004, kChineseFailure);
  expectError([&] { a.call("Crash"); }, -2147467259, "crashed");
  expectError([&] { a.get("NoSuchMember"); }, 438, "Object doesn't support this property or method");
  expectError([&] { a.put("ReadOnly", 2); }, 438);
  expectError([&] { a.call("Scale", {1}, {{"Factr", 2}}); }, 448);
  expectError([&] { a.getObject("Name"); }, 424);
  expectError([&] { a.get("Cell", 9, 9); }, vb::kSubscript);
  expectError([&] { a.call("Echo"); }, 449);  // a required argument left out
  Automation nothing;
  expectError([&] { nothing.get("Name"); }, vb::kObjectNotSet);
  expectError([&] { nothing.put("Name", 1); }, vb::kObjectNotSet);
  expectError([&] { nothing.call("Scale", {1}); }, vb::kObjectNotSet);
  // The object still works after each failure.
  EXPECT_EQ(a.get("Name"), Variant("gadget"));
}

// An object of someone else's: it records what each call hands it, exactly as a real
// program would receive it, and fails every call in one set way, to check how the
// HRESULTs and EXCEPINFOs of real programs become runtime errors.
class ForeignDispatch : public IDispatch {
 public:
  HRESULT result = S_OK;
  EXCEPINFO filled{};
  bool deferred = false;
  ULONG references = 1;
  std::vector<std::vector<std::string>> lookups;  // the names of each GetIDsOfNames
  struct Received {
    DISPID member;
    WORD flags;
    std::vector<DISPID> namedIds;
    std::vector<Variant> args;  // in the order of rgvarg
    bool wantsResult;
  };
  std::vector<Received> calls;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  // The member gets DISPID 7, its argument names 10, 11, ...
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    lookups.emplace_back();
    for (UINT i = 0; i < count; ++i) {
      lookups.back().push_back(platform::win::narrow(names[i]));
      ids[i] = i == 0 ? 7 : static_cast<DISPID>(9 + i);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* out,
                                   EXCEPINFO* e, UINT*) override {
    Received r{id, flags, {p->rgdispidNamedArgs, p->rgdispidNamedArgs + p->cNamedArgs}, {}, out != nullptr};
    for (UINT i = 0; i < p->cArgs; ++i) r.args.push_back(platform::win::fromComVariant(p->rgvarg[i]));
    calls.push_back(r);
    if (result == S_OK && out) {
      V_VT(out) = VT_I4;
      V_I4(out) = 42;
    }
    if (result == DISP_E_EXCEPTION) {
      *e = filled;
      // Fresh strings each time: the caller frees them.
      if (filled.bstrDescription) e->bstrDescription = SysAllocString(filled.bstrDescription);
      e->bstrSource = SysAllocString(L"Excel");
      if (deferred) e->pfnDeferredFillIn = &fillIn;
    }
    return result;
  }
  static HRESULT STDMETHODCALLTYPE fillIn(EXCEPINFO* e) {
    e->wCode = 9;
    e->bstrDescription = SysAllocString(L"下标越界");
    return S_OK;
  }
};

TEST_F(AutomationTest, CallsReachOtherProgramsInTheLayoutOfIDispatch) {
  ForeignDispatch raw;
  {
    Automation a(&raw);
    Automation copy = a;
    EXPECT_EQ(a.get("Cells", 2, 3), Variant(42.0));
    a.put("Value", "x", 5);
    copy.call("Sort", {1}, {{"Header", 2}, {"Order1", 3}});
    copy.get("Cells", 1, 1);
    a.call("Sort", {1}, {{"Header", 1}, {"Order1", 1}});
    a.call("Sort", {}, {{"Order1", 1}});

    ASSERT_EQ(raw.calls.size(), 6u);
    const auto& get = raw.calls[0];
    EXPECT_EQ(get.member, 7);
    EXPECT_EQ(get.flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_TRUE(get.namedIds.empty());
    EXPECT_EQ(get.args, (std::vector<Variant>{3.0, 2.0})) << "positional arguments go last first";

    const auto& put = raw.calls[1];
    EXPECT_EQ(put.flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(put.namedIds, (std::vector<DISPID>{DISPID_PROPERTYPUT}));
    EXPECT_EQ(put.args, (std::vector<Variant>{"x", 5.0})) << "the value first, then the index";
    EXPECT_FALSE(put.wantsResult);

    const auto& sort = raw.calls[2];
    EXPECT_EQ(sort.namedIds, (std::vector<DISPID>{10, 11}));
    EXPECT_EQ(sort.args, (std::vector<Variant>{2.0, 3.0, 1.0})) << "named arguments, then positional ones";

    // Each member, and each member with its set of argument names, is looked up once per
    // object, copies included.
    EXPECT_EQ(raw.lookups, (std::vector<std::vector<std::string>>{
                               {"Cells"}, {"Value"}, {"Sort", "Header", "Order1"}, {"Sort", "Order1"}}));
  }
  EXPECT_EQ(raw.references, 1u);
}

TEST_F(AutomationTest, FailuresOfOtherProgramsMapToTheRuntimeNumbers) {
  struct Case {
    HRESULT hr;
    WORD wCode;
    SCODE scode;
    const wchar_t* description;
    bool deferred;
    int number;
    std::string text;
  };
  const Case cases[] = {
      {DISP_E_EXCEPTION, 1004, 0, L"无法取得类 Range 的 Sort 属性", false, 1004, "无法取得类 Range 的 Sort 属性"},
      {DISP_E_EXCEPTION, 0, static_cast<SCODE>(0x800A03EC), L"", false, 1004,
       "Application-defined or object-defined error"},
      {DISP_E_EXCEPTION, 0, static_cast<SCODE>(0x800A03EC), nullptr, false, 1004,
       "Application-defined or object-defined error"},
      {DISP_E_EXCEPTION, 0, E_FAIL, nullptr, false, -2147467259, "Automation error (0x80004005)"},
      {DISP_E_EXCEPTION, 0, 0, nullptr, true, 9, "下标越界"},
      {DISP_E_MEMBERNOTFOUND, 0, 0, nullptr, false, 438, "Object doesn't support this property or method"},
      {DISP_E_UNKNOWNNAME, 0, 0, nullptr, false, 438, "Object doesn't support this property or method"},
      {DISP_E_TYPEMISMATCH, 0, 0, nullptr, false, 13, "Type mismatch"},
      {DISP_E_BADPARAMCOUNT, 0, 0, nullptr, false, 450, "Wrong number of arguments or invalid property assignment"},
      {static_cast<HRESULT>(0x800A0009), 0, 0, nullptr, false, 9, "Subscript out of range"},
      {E_FAIL, 0, 0, nullptr, false, -2147467259, "Automation error (0x80004005)"},
      {RPC_E_DISCONNECTED, 0, 0, nullptr, false, -2147417848, "Automation error (0x80010108)"},
      {static_cast<HRESULT>(0x800706BA), 0, 0, nullptr, false, 462,
       "The remote server machine does not exist or is unavailable"},
      {RPC_E_CALL_REJECTED, 0, 0, nullptr, false, static_cast<int>(RPC_E_CALL_REJECTED),
       "Automation error (0x80010001): the program is busy and rejected the call"},
  };
  // A rejected call is not tried again here.
  struct NoBusyWait {
    DWORD before = Automation::busyWait();
    NoBusyWait() { Automation::setBusyWait(0); }
    ~NoBusyWait() { Automation::setBusyWait(before); }
  } noBusyWait;
  for (const Case& c : cases) {
    ForeignDispatch raw;
    raw.result = c.hr;
    raw.filled.wCode = c.wCode;
    raw.filled.scode = c.scode;
    BSTR description = c.description ? SysAllocString(c.description) : nullptr;
    raw.filled.bstrDescription = description;
    raw.deferred = c.deferred;
    {
      Automation a(&raw);
      expectError([&] { a.get("Value"); }, c.number, c.text);
      expectError([&] { a.put("Value", 1); }, c.number, c.text);
      expectError([&] { a.call("Sort", {1}, {{"Header", 1}}); }, c.number, c.text);
    }
    SysFreeString(description);
    EXPECT_EQ(raw.references, 1u) << "every reference given back, case " << c.number;
  }
}

TEST_F(AutomationTest, VariantsOfOtherProgramsReadAsValues) {
  auto read = [](VARTYPE vt, auto set) {
    ComVariant v;
    V_VT(&v.get()) = vt;
    set(v.get());
    return platform::win::fromComVariant(v.get());
  };
  EXPECT_EQ(read(VT_I4, [](VARIANT& v) { V_I4(&v) = -70000; }), Variant(-70000.0));
  EXPECT_EQ(read(VT_I2, [](VARIANT& v) { V_I2(&v) = -5; }), Variant(-5.0));
  EXPECT_EQ(read(VT_UI1, [](VARIANT& v) { V_UI1(&v) = 200; }), Variant(200.0));
  EXPECT_EQ(read(VT_CY, [](VARIANT& v) { V_CY(&v).int64 = 12345678; }), Variant(1234.5678));
  EXPECT_EQ(read(VT_DATE, [](VARIANT& v) { V_DATE(&v) = 45000.5; }), Variant(45000.5));
  EXPECT_EQ(read(VT_DECIMAL, [](VARIANT& v) { VarDecFromR8(2.5, &V_DECIMAL(&v)); }), Variant(2.5));
  EXPECT_EQ(read(VT_NULL, [](VARIANT&) {}), Variant());
  EXPECT_EQ(read(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = nullptr; }), Variant(""));
  EXPECT_EQ(read(VT_ERROR, [](VARIANT& v) { V_ERROR(&v) = static_cast<SCODE>(0x800A07FA); }),
            Variant(vb::ErrorValue{vb::kErrNA}));
  EXPECT_EQ(read(VT_ERROR, [](VARIANT& v) { V_ERROR(&v) = DISP_E_PARAMNOTFOUND; }), Variant());
  double held = 7;
  EXPECT_EQ(read(VT_R8 | VT_BYREF, [&](VARIANT& v) { V_R8REF(&v) = &held; }), Variant(7.0));
  expectError([&] { read(VT_DISPATCH, [](VARIANT& v) { V_DISPATCH(&v) = nullptr; }); }, vb::kTypeMismatch);
}

TEST_F(AutomationTest, BlocksAreOneBasedArraysRowsFirst) {
  Table t = block({{1, 2, 3}, {"a", "b", "c"}});
  ComVariant v = platform::win::toComVariant(t);
  ASSERT_EQ(v.type(), VT_ARRAY | VT_VARIANT);
  SAFEARRAY* array = V_ARRAY(&v.get());
  ASSERT_EQ(SafeArrayGetDim(array), 2u);
  LONG lb = 0, ub = 0;
  SafeArrayGetLBound(array, 1, &lb);
  SafeArrayGetUBound(array, 1, &ub);
  EXPECT_EQ(lb, 1);
  EXPECT_EQ(ub, 2) << "the first dimension is the rows";
  SafeArrayGetUBound(array, 2, &ub);
  EXPECT_EQ(ub, 3);
  LONG at[2] = {2, 3};
  ComVariant element;
  ASSERT_EQ(SafeArrayGetElement(array, at, element.out()), S_OK);
  EXPECT_EQ(platform::win::fromComVariant(element.get()), Variant("c"));

  // Other programs' arrays: other lower bounds, typed elements, one dimension.
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 5}};
  ComVariant zeroBased;
  V_VT(&zeroBased.get()) = VT_ARRAY | VT_R8;
  V_ARRAY(&zeroBased.get()) = SafeArrayCreate(VT_R8, 2, bounds);
  for (LONG r = 0; r < 2; ++r) {
    LONG i[2] = {r, 5};
    double d = 10 + r;
    SafeArrayPutElement(V_ARRAY(&zeroBased.get()), i, &d);
  }
  Table read = platform::win::tableFromComVariant(zeroBased.get());
  ASSERT_EQ(read.rows(), 2);
  ASSERT_EQ(read.cols(), 1);
  EXPECT_EQ(read(1, 1), Variant(10.0));
  EXPECT_EQ(read(2, 1), Variant(11.0));

  SAFEARRAYBOUND row{3, 0};
  ComVariant oneRow;
  V_VT(&oneRow.get()) = VT_ARRAY | VT_BSTR;
  V_ARRAY(&oneRow.get()) = SafeArrayCreate(VT_BSTR, 1, &row);
  LONG i = 2;
  BSTR text = SysAllocString(L"丙");
  SafeArrayPutElement(V_ARRAY(&oneRow.get()), &i, text);
  SysFreeString(text);
  Table r = platform::win::tableFromComVariant(oneRow.get());
  ASSERT_EQ(r.rows(), 1);
  ASSERT_EQ(r.cols(), 3);
  EXPECT_EQ(r(1, 3), Variant("丙"));
  EXPECT_EQ(r(1, 1), Variant(""));

  Table none = platform::win::tableFromComVariant(platform::win::toComVariant(Table()).get());
  EXPECT_TRUE(none.empty());
}

// A program of ours under a test identifier in the user's registry.
const CLSID kTestClass = {0x6c1f2a7e, 0x93b4, 0x4d51, {0x9a, 0x20, 0x3e, 0x71, 0x5d, 0x0c, 0x44, 0x8b}};
const char kTestProgId[] = "Velmora.AutomationTest.Application";

bool progIdRegistered(const std::string& progId) {
  HKEY h;
  std::wstring key = L"Software\\Classes\\" + platform::win::widen(progId);
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

TEST_F(AutomationTest, AttachFindsOnlyARunningProgramStartMakesOne) {
  {
    Gadget g;
    ServedProgram program(kTestProgId, kTestClass, g.object);
    EXPECT_TRUE(progIdRegistered(kTestProgId));
    expectError([] { Automation::attach(kTestProgId); }, 429, "ActiveX component can't create object");

    Automation started = Automation::start(kTestProgId);
    EXPECT_TRUE(started.sameObject(g.object->automation()));
    EXPECT_EQ(started.get("Name"), Variant("gadget"));
    // A started program is running: attaching now finds it, by any letter case.
    EXPECT_TRUE(Automation::attach("velmora.automationtest.APPLICATION").sameObject(started));
    EXPECT_TRUE(Automation::attachOrStart(kTestProgId).sameObject(started));

    program.setRunning(false);
    expectError([] { Automation::attach(kTestProgId); }, 429);
    EXPECT_TRUE(Automation::attachOrStart(kTestProgId).sameObject(started)) << "started again";
    EXPECT_TRUE(program.running());
  }
  EXPECT_FALSE(progIdRegistered(kTestProgId)) << "the registry entries are removed";
  expectError([] { Automation::attach(kTestProgId); }, 429);
  expectError([] { Automation::start(kTestProgId); }, 429);
}

TEST_F(AutomationTest, UnknownProgramsCannotBeAttachedOrStarted) {
  for (const char* progId : {"Velmora.NoSuchProgram", "", "{00000000-0000-0000-0000-000000000001}"}) {
    expectError([&] { Automation::attach(progId); }, 429);
    expectError([&] { Automation::start(progId); }, 429);
    expectError([&] { Automation::attachOrStart(progId); }, 429);
  }
}

// Just enough of a spreadsheet program to show how one over Excel.Application reads:
// Workbooks.Open, Sheets.Add before or after a sheet, a block of Range("A1:B4").Value,
// and Sort with Key1, Order1 and Header.
struct MiniSpreadsheet {
  struct Sheet {
    std::string name;
    std::map<std::pair<long, long>, Variant> cells;
    ComRef<DispatchObject> object = DispatchObject::create();
  };
  struct Area {
    long r1, c1, r2, c2;
  };
  ComRef<DispatchObject> app = DispatchObject::create();
  ComRef<DispatchObject> workbooks = DispatchObject::create();
  ComRef<DispatchObject> book = DispatchObject::create();
  ComRef<DispatchObject> sheetList = DispatchObject::create();
  std::vector<std::shared_ptr<Sheet>> sheets;
  std::string opened;
  int made = 0;

  static Area parse(const std::string& address) {
    std::vector<long> parts;
    long col = 0, row = 0;
    for (char ch : address + ":") {
      if (ch >= 'A' && ch <= 'Z') col = col * 26 + (ch - 'A' + 1);
      else if (ch >= '0' && ch <= '9') row = row * 10 + (ch - '0');
      else if (ch == ':') {
        if (col == 0 || row == 0) vb::raise(vb::kAppDefined);
        parts.push_back(row);
        parts.push_back(col);
        row = col = 0;
      }
    }
    if (parts.size() == 2) return {parts[0], parts[1], parts[0], parts[1]};
    return {parts[0], parts[1], parts[2], parts[3]};
  }

  std::shared_ptr<Sheet> addSheet(size_t at) {
    auto sheet = std::make_shared<Sheet>();
    sheet->name = "Sheet" + std::to_string(++made);
    Sheet* raw = sheet.get();
    sheet->object->property("Name", [raw](DispatchCall&) { return Variant(raw->name); },
                            [raw](DispatchCall& c) {
                              raw->name = c.value().text();
                              return Variant();
                            })
        .defaultMember("Name");
    sheet->object->property("Range", [raw](DispatchCall& c) {
      c.returnObject(range(raw, parse(c.arg(0).text())));
      return Variant();
    });
    sheets.insert(sheets.begin() + static_cast<long>(at), sheet);
    return sheet;
  }

  size_t positionOf(const Automation& sheet) const {
    for (size_t i = 0; i < sheets.size(); ++i)
      if (sheets[i]->object->automation().sameObject(sheet)) return i;
    vb::raise(vb::kSubscript);
  }

  static Automation range(Sheet* sheet, Area a) {
    auto r = DispatchObject::create();
    r->property("Column", [a](DispatchCall&) { return Variant(a.c1); });
    r->property("Value",
                [sheet, a](DispatchCall& c) {
                  Table t(a.r2 - a.r1 + 1, a.c2 - a.c1 + 1);
                  for (long i = 1; i <= t.rows(); ++i)
                    for (long j = 1; j <= t.cols(); ++j) t(i, j) = sheet->cells[{a.r1 + i - 1, a.c1 + j - 1}];
                  // One cell gives one value, several a block.
                  if (t.rows() == 1 && t.cols() == 1) return t(1, 1);
                  c.returnTable(t);
                  return Variant();
                },
                [sheet, a](DispatchCall& c) {
                  Table t = c.valueTable();
                  for (long i = 1; i <= t.rows(); ++i)
                    for (long j = 1; j <= t.cols(); ++j) sheet->cells[{a.r1 + i - 1, a.c1 + j - 1}] = t(i, j);
                  return Variant();
                });
    r->method("Sort",
              [sheet, a](DispatchCall& c) {
                long key = static_cast<long>(c.paramObject("Key1").get("Column").number());
                bool descending = c.hasParam("Order1") && c.param("Order1").number() == 2;
                long first = c.hasParam("Header") && c.param("Header").number() == 1 ? a.r1 + 1 : a.r1;
                std::vector<std::vector<Variant>> rows;
                for (long i = first; i <= a.r2; ++i) {
                  rows.emplace_back();
                  for (long j = a.c1; j <= a.c2; ++j) rows.back().push_back(sheet->cells[{i, j}]);
                }
                std::stable_sort(rows.begin(), rows.end(), [&](const auto& x, const auto& y) {
                  const std::string& p = x[key - a.c1].text();
                  const std::string& q = y[key - a.c1].text();
                  return descending ? q < p : p < q;
                });
                for (long i = first; i <= a.r2; ++i)
                  for (long j = a.c1; j <= a.c2; ++j) sheet->cells[{i, j}] = rows[i - first][j - a.c1];
                return Variant();
              },
              {"Key1", "Order1", "Key2", "Order2", "Key3", "Order3", "Header"});
    return r->automation();
  }

  MiniSpreadsheet() {
    addSheet(0);
    app->property("Workbooks", [this](DispatchCall& c) {
      c.returnObject(workbooks->automation());
      return Variant();
    });
    workbooks->method("Open",
                      [this](DispatchCall& c) {
                        opened = c.param("Filename").text();
                        c.returnObject(book->automation());
                        return Variant();
                      },
                      {"Filename"});
    book->property("Sheets", [this](DispatchCall& c) {
      c.returnObject(sheetList->automation());
      return Variant();
    });
    sheetList->property("Count", [this](DispatchCall&) { return Variant(static_cast<long>(sheets.size())); });
    sheetList->property("Item", [this](DispatchCall& c) {
      Variant which = c.arg(0);
      for (size_t i = 0; i < sheets.size(); ++i)
        if ((which.isNumber() && which.number() == static_cast<double>(i + 1)) ||
            (which.isText() && which.text() == sheets[i]->name)) {
          c.returnObject(sheets[i]->object->automation());
          return Variant();
        }
      vb::raise(vb::kSubscript);
    }).defaultMember("Item");
    sheetList->method("Add",
                      [this](DispatchCall& c) {
                        size_t at = sheets.size();
                        if (c.hasParam("Before")) at = positionOf(c.paramObject("Before"));
                        else if (c.hasParam("After")) at = positionOf(c.paramObject("After")) + 1;
                        c.returnObject(addSheet(at)->object->automation());
                        return Variant();
                      },
                      {"Before", "After", "Count", "Type"});
  }
};

TEST_F(AutomationTest, ASpreadsheetDrivenTheWayTheRealOneIs) {
  MiniSpreadsheet program;
  const CLSID spreadsheetClass = {0x2b8e4d10, 0x5a37, 0x4c0e, {0x8f, 0x61, 0x0d, 0x9a, 0x33, 0x7e, 0x12, 0xc4}};
  ServedProgram served("Velmora.AutomationTest.Spreadsheet", spreadsheetClass, program.app);
  Automation app = Automation::attachOrStart("Velmora.AutomationTest.Spreadsheet");

  Automation book = app.getObject("Workbooks").call("Open", {"C:\\设计\\parts.xlsx"}).object();
  EXPECT_EQ(program.opened, "C:\\设计\\parts.xlsx");
  Automation sheets = book.getObject("Sheets");
  Automation list = sheets.call("Add", {}, {{"Before", sheets.getObject("Item", 1)}}).object();
  list.put("Name", "List Report");
  sheets.call("Add", {}, {{"After", sheets.getObject("Item", sheets.get("Count"))}});
  ASSERT_EQ(sheets.get("Count"), Variant(3.0));
  EXPECT_EQ(sheets.getObject("Item", 1).get("Name"), Variant("List Report"));
  EXPECT_EQ(sheets.getObject("Item", 2).get("Name"), Variant("Sheet1"));
  EXPECT_EQ(sheets.getObject("Item", 3).get("Name"), Variant("Sheet3"));
  EXPECT_TRUE(sheets.getObject("Item", "List Report").sameObject(list));
  EXPECT_EQ(sheets.get("", 2), Variant("Sheet1")) << "the default member, and its default value";

  Automation range = list.getObject("Range", "A1:B4");
  range.put("Value", block({{"Ref", "Value"}, {"R2", "10k"}, {"C1", "100n"}, {"R1", "1k"}}));
  range.call("Sort", {}, {{"Key1", list.getObject("Range", "A2")}, {"Order1", 1}, {"Header", 1}});
  Table sorted = list.getObject("Range", "A1:B4").getTable("Value");
  std::vector<std::string> order;
  for (long r = 1; r <= sorted.rows(); ++r) order.push_back(sorted(r, 1).text() + "=" + sorted(r, 2).text());
  EXPECT_EQ(order, (std::vector<std::string>{"Ref=Value", "C1=100n", "R1=1k", "R2=10k"}));
  range.call("Sort", {}, {{"Key1", list.getObject("Range", "B1")}, {"Order1", 2}, {"Header", 1}});
  EXPECT_EQ(list.getObject("Range", "A2").get("Value"), Variant("R1"));
  EXPECT_EQ(list.getObject("Range", "B2").get("Value"), Variant("1k"));
  expectError([&] { sheets.getObject("Item", 9); }, vb::kSubscript);
  expectError([&] { list.getObject("Range", "nonsense"); }, vb::kAppDefined);
}

}  // namespace
