#pragma once
// The loosely typed value of the runtime: empty, number, text, Boolean or a cell error.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vb {

// A spreadsheet error value such as #N/A (the code is the spreadsheet's, 2042 for #N/A).
struct ErrorValue {
  int code = 2042;
  bool operator==(const ErrorValue&) const = default;
};
constexpr int kErrNA = 2042;
constexpr int kErrNum = 2036;  // #NUM!

class Variant {
 public:
  enum class Type { Empty, Number, Text, Boolean, Error };

  Variant() = default;
  Variant(double d) : v_(d) {}
  Variant(int i) : v_(static_cast<double>(i)) {}
  Variant(long i) : v_(static_cast<double>(i)) {}
  Variant(long long i) : v_(static_cast<double>(i)) {}
  Variant(std::string s) : v_(std::move(s)) {}
  Variant(const char* s) : v_(std::string(s)) {}
  Variant(bool b) : v_(b) {}
  Variant(ErrorValue e) : v_(e) {}

  Type type() const { return static_cast<Type>(v_.index()); }
  bool isEmpty() const { return v_.index() == 0; }
  bool isNumber() const { return v_.index() == 1; }
  bool isText() const { return v_.index() == 2; }
  bool isBoolean() const { return v_.index() == 3; }
  bool isError() const { return v_.index() == 4; }

  // Typed access; the caller has checked the type.
  double number() const { return std::get<double>(v_); }
  const std::string& text() const { return std::get<std::string>(v_); }
  bool boolean() const { return std::get<bool>(v_); }
  ErrorValue error() const { return std::get<ErrorValue>(v_); }

  // Same type and same value.
  bool operator==(const Variant& o) const { return v_ == o.v_; }

 private:
  std::variant<std::monostate, double, std::string, bool, ErrorValue> v_;
};

// A two-dimensional block of values, rows and columns counted from 1.
class Table {
 public:
  Table() = default;
  // A negative size is error 9.
  Table(long rows, long cols);
  long rows() const { return rows_; }
  long cols() const { return cols_; }
  bool empty() const { return rows_ == 0 || cols_ == 0; }
  // Bounds are checked: a position outside the table is error 9.
  Variant& at(long r, long c);
  const Variant& at(long r, long c) const;
  Variant& operator()(long r, long c) { return cells_[idx(r, c)]; }
  const Variant& operator()(long r, long c) const { return cells_[idx(r, c)]; }
  // Keeps the values that still fit; new cells are empty. A negative size is error 9.
  void resize(long rows, long cols);
  void clear() { rows_ = cols_ = 0; cells_.clear(); }
  // The same shape and the same values.
  bool operator==(const Table& o) const = default;

 private:
  size_t idx(long r, long c) const { return static_cast<size_t>((r - 1) * cols_ + (c - 1)); }
  long rows_ = 0, cols_ = 0;
  std::vector<Variant> cells_;
};

}  // namespace vb
