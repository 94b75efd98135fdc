// Search answers to result rows: titles cleaned, repeats and filtered titles left out, rows
// numbered on from the list's count, the page count recorded, and the result list's column
// mirrors kept equal to the list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "state/main_form.h"
#include "state/shared_state.h"
#include "ui/report_list.h"

namespace corvane::engine {

// One collected item: the texts of list columns 1 to 7, as the answer gives them.
struct ResultRow {
  std::string title;                // "title", highlight markup removed
  std::string promotionCount30Day;  // "totalNum"
  std::string paidCommission30Day;  // "totalFee"
  std::string unitPrice;            // "zkPrice"
  std::string commission;           // "tkCommFee"
  std::string commissionRate;       // "tkRate"
  std::string link;                 // "auctionUrl"
};

// The "|"-separated filter keyword text, split once so that many titles can be tested.
class FilterKeywords {
 public:
  explicit FilterKeywords(std::string_view filterText);
  // True at the first keyword that occurs in the title on a character boundary; an empty
  // keyword matches every non-empty title. No keywords match nothing.
  bool Matches(std::string_view title) const;

 private:
  std::vector<std::string> keywords_;
};

bool TitleMatchesFilter(std::string_view title, std::string_view filterText);

// Removes every "<span class=H>", then every "</span>" (case-sensitive).
std::string CleanTitle(std::string_view title);

// Appends the rows of one decoded search answer to the form's result list. Holds
// state.resultsMutex for the whole answer.
void AppendResultRows(std::string_view answerText, state::SharedState& state,
                      state::MainForm& form);

// Rebuilds the seven column arrays from the list. The caller holds state.resultsMutex.
void SnapshotResultColumns(state::ResultColumns& columns, const ui::ReportList& list);

}  // namespace corvane::engine
