// The rows of a sheet, kept in pages whose rows share one buffer: whatever rows grow,
// shrink, move or empty, each row holds exactly its cells, checked against a plain map of
// rows after every step of a long random run.
#include "sim/sim_row_store.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using sim::CellEntry;
using sim::RowStore;

// A cell as the test sees it: column and text (long texts have memory of their own).
using Model = std::map<long, std::vector<std::pair<int32_t, std::string>>>;

CellEntry cell(int32_t col, const std::string& text) {
  return CellEntry{col, 0, sim::CellValue(platform::xl::Variant(text))};
}

std::vector<std::pair<int32_t, std::string>> cellsOf(RowStore::Cells cells) {
  std::vector<std::pair<int32_t, std::string>> out;
  for (const CellEntry& e : cells) out.emplace_back(e.col, std::string(e.value.text()));
  return out;
}

void expectSame(const RowStore& rows, const Model& model, const std::string& step) {
  Model seen;
  rows.each(1, 1 << 20, [&](long r, RowStore::Cells cells) { seen[r] = cellsOf(cells); });
  ASSERT_EQ(seen, model) << step;
  ASSERT_EQ(rows.lastRow(), model.empty() ? 0 : model.rbegin()->first) << step;
  for (const auto& [r, cells] : model) ASSERT_EQ(cellsOf(rows.find(r)), cells) << step << ": row " << r;
}

// As a sort key column is put between the columns of a report and taken out again.
TEST(RowStore, AColumnPutIntoEveryRowAndTakenOutAgain) {
  RowStore rows;
  Model model;
  auto put = [&](long r, RowStore::Row& row, int32_t c) {
    const std::string t = std::to_string(r) + (c == 4 ? " key with a text of its own" : "");
    CellEntry* at = std::lower_bound(row.begin(), row.end(), c, [](const CellEntry& e, int32_t k) { return e.col < k; });
    row.insert(at, cell(c, t));
    auto& m = model[r];
    m.insert(std::lower_bound(m.begin(), m.end(), std::make_pair(c, std::string())), {c, t});
  };
  rows.write(1, 150, [&](long r, RowStore::Row& row) {
    for (int32_t c : {1, 2, 3, 5, 6, 7, 8}) put(r, row, c);
  });
  expectSame(rows, model, "written");
  rows.write(2, 150, [&](long r, RowStore::Row& row) { put(r, row, 4); });
  expectSame(rows, model, "a column put in");
  rows.change(1, 150, [&](long r, RowStore::Row& row) {
    row.erase(row.begin() + 3, row.begin() + 4);
    auto& m = model[r];
    m.erase(m.begin() + 3);
  });
  expectSame(rows, model, "a column taken out");
}

TEST(RowStore, RowsHoldTheirCellsThroughGrowingShrinkingAndMoving) {
  std::mt19937 random(20240506);
  auto below = [&](long n) { return static_cast<long>(random() % static_cast<unsigned>(n)); };
  auto text = [&](long r, int32_t c) {  // short and long texts
    const std::string t = std::to_string(r) + ":" + std::to_string(c);
    return below(4) == 0 ? t + std::string(20, 'x') : t;
  };
  RowStore rows;
  Model model;
  for (int step = 0; step < 3000; ++step) {
    const long r1 = 1 + below(300), r2 = r1 + below(below(10) == 0 ? 200 : 4);
    const int32_t col = static_cast<int32_t>(1 + below(12));
    switch (below(7)) {
      case 0:  // a few cells written into every row of the range, new or over the old ones
      {
        const int32_t width = static_cast<int32_t>(1 + below(4));
        rows.write(r1, r2, [&](long r, RowStore::Row& row) {
          for (int32_t c = col; c < col + width; ++c) {
            CellEntry* at = std::lower_bound(row.begin(), row.end(), c,
                                             [](const CellEntry& e, int32_t k) { return e.col < k; });
            const std::string t = text(r, c);
            if (at != row.end() && at->col == c) at->value = sim::CellValue(platform::xl::Variant(t));
            else row.insert(at, cell(c, t));
            auto& m = model[r];
            auto it = std::lower_bound(m.begin(), m.end(), std::make_pair(c, std::string()));
            if (it != m.end() && it->first == c) it->second = t;
            else m.insert(it, {c, t});
          }
        });
        break;
      }
      case 1:  // cells from col on erased
        rows.change(r1, r2, [&](long r, RowStore::Row& row) {
          row.erase(std::lower_bound(row.begin(), row.end(), col,
                                     [](const CellEntry& e, int32_t c) { return e.col < c; }),
                    row.end());
          auto& m = model[r];
          m.erase(std::lower_bound(m.begin(), m.end(), std::make_pair(col, std::string())), m.end());
          if (m.empty()) model.erase(r);
        });
        break;
      case 2:  // cells appended one by one to a row
        for (long k = below(30); k > 0; --k) {
          RowStore::Row row = rows.at(r1);
          const int32_t c = row.empty() ? 20 : std::max(20, row.back().col + 1);
          const std::string t = text(r1, c);
          row.push_back(cell(c, t));
          model[r1].emplace_back(c, t);
        }
        break;
      case 3:  // rows taken out and put back elsewhere
      {
        sim::TakenRows taken;
        rows.change(r1, r2, [&](long r, RowStore::Row& row) {
          taken.take(r + 500, std::span(row.begin(), row.end()));
          row.clear();
        });
        for (size_t i = 0; i < taken.size(); ++i) {
          RowStore::Row row = rows.at(taken.row(i));
          row.clear();
          row.insert(row.end(), taken.cells(i));
        }
        for (long r = r1; r <= r2; ++r)
          if (auto it = model.find(r); it != model.end()) {
            model[r + 500] = it->second;
            model.erase(r);
          }
        break;
      }
      case 5:  // rows made anew in reverse order
        if (below(3) == 0) {
          rows.rebuild(r1, r2, [&](long r, RowStore::Row& row, auto oldCells) {
            row.insert(row.end(), oldCells(r1 + r2 - r));
          });
          Model reversed;
          for (auto& [r, cells] : model) reversed[r >= r1 && r <= r2 ? r1 + r2 - r : r] = cells;
          model = reversed;
        }
        break;
      case 4:
        rows.removeRows(r1, r2);
        {
          Model moved;
          for (auto& [r, cells] : model)
            if (r < r1) moved[r] = cells;
            else if (r > r2) moved[r - (r2 - r1 + 1)] = cells;
          model = moved;
        }
        break;
      default:  // rows emptied now and then, so that pages go
        if (below(20) == 0) {
          rows.change(1, 1 << 20, [](long, RowStore::Row& row) { row.clear(); });
          model.clear();
        }
        break;
    }
    expectSame(rows, model, "step " + std::to_string(step));
    if (HasFatalFailure()) return;
  }
}

}  // namespace
