// app/pages/PageRun.cpp - the gate, the question, the run's thread, Cancel and the message
#include "app/pages/PageRun.h"

#include <exception>

#include "app/pages/Page.h"

namespace pexol::pages {

void RunGate::Enter(PageRun& run) {
  running = &run;
  if (onBusy) onBusy(true);
}

void RunGate::Leave() {
  running = nullptr;
  if (onBusy) onBusy(false);
}

PageRun::PageRun(Page& page, RunGate& gate, RunView& view) : page(page), gate(gate), view(view) {}

PageRun::~PageRun() {
  StopAndWait();
}

bool PageRun::Start(const MediaFolders& media) {
  if (gate.Running() != nullptr) return false;
  const bool mayReplace =
      MayReplace(page.State(), [this](const std::string& question) { return view.Ask(question); });
  return mayReplace && StartUnasked(media);
}

bool PageRun::StartUnasked(const MediaFolders& media) {
  if (gate.Running() != nullptr) return false;
  Driver driver;
  try {
    driver = page.MakeRun(media);
  } catch (...) {
    // Ends as a job that threw does, with a message, not in the window's event loop.
    driver = [error = std::current_exception()](RunObserver&) -> RunResult {
      std::rethrow_exception(error);
    };
  }
  const PageState& state = page.State();
  std::string file = state.SourceField() >= 0 ? state.Text(state.SourceField()) : std::string();
  relay = std::make_unique<RunRelay>(
      view.Shown(), [this] { view.Wake(); }, [this](const RunShown& shown) { view.Show(shown); });
  gate.Enter(*this);
  view.ShowRunning(true);
  thread.Start(std::move(driver), *relay, std::move(file), [this] { view.Wake(); });
  return true;
}

void PageRun::RequestStop() {
  if (relay) relay->RequestStop();
}

void PageRun::StopAndWait() {
  if (!Running()) return;
  RequestStop();
  Finish(false);  // the window is closing; the user was asked already
}

void PageRun::Deliver() {
  if (relay) relay->Flush();
  if (Running() && thread.Done()) Finish(true);
}

void PageRun::Finish(bool show) {
  RunResult result = thread.Take();
  relay->Flush();
  relay.reset();
  view.ShowRunning(false);
  gate.Leave();
  if (!show) return;
  view.ShowResult(ResultMessage(std::move(result), page.State()));
  if (onEnded) onEnded();
}

}  // namespace pexol::pages
