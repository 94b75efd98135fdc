// A collection run: the start button's handler prepares the run and starts a worker thread;
// the worker goes through the keywords one per line, page by page, and reports its progress
// in the status bar.
//
// A run and the buttons that stay enabled meanwhile (keyword filter, export) meet only in the
// result list and its column mirrors: each page's rows are appended under
// SharedState::resultsMutex, which the keyword filter also holds while it rebuilds the list,
// so a filter sees the rows of whole pages and a page never lands in the middle of a filter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/worker_thread.h"
#include "state/main_form.h"
#include "state/shared_state.h"

namespace corvane::engine {

// The keyword file written at every start, beside the executable.
inline constexpr const char* kKeywordFileName = "搜索关键词.txt";

// The keyword box's text split at every CR LF; a text ending in CR LF gives no extra empty
// keyword, an empty line between two gives an empty one. Keywords are not trimmed.
std::vector<std::string> SplitKeywords(std::string_view keywordText);

// Click handler of 按钮_开始采集, on the UI thread; returns as soon as the worker exists.
// `worker` creates the thread (a test may give one that fails).
void StartCollection(state::SharedState& state, state::MainForm& form,
                     const WorkerThread& worker = WorkerThread());

// The worker's routine: every keyword, every page of its plan.
void RunCollection(state::SharedState& state, state::MainForm& form);

void ClearSeenItems(state::SharedState& state);

}  // namespace corvane::engine
