#include "app/session/site_runner.h"

#include <QMetaObject>

namespace lumera {

// Posts each line's call, in order, to the runner on the user-interface
// thread; the call carries copies of what it tells.
class SiteRunner::QueuedEvents : public SiteRunEvents {
 public:
  QueuedEvents(SiteRunner* runner, unsigned run) : runner_(runner), run_(run) {}

  void ControllerBegun(std::size_t line, int controller,
                       const SiteLineProgress& progress) override {
    Post([r = runner_, run = run_, line, controller, progress] {
      if (r->run_number_ == run && r->running()) {
        emit r->controllerBegun(line, controller, progress);
      }
    });
  }
  void ControllerEnded(std::size_t line, const SiteRow& row,
                       const SiteLineProgress& progress) override {
    Post([r = runner_, run = run_, line, row, progress] {
      if (r->run_number_ == run && r->running()) {
        emit r->controllerEnded(line, row, progress);
      }
    });
  }
  void RunEnded() override {
    Post([r = runner_, run = run_] { r->End(run); });
  }

 private:
  template <typename Call>
  void Post(Call call) {
    QMetaObject::invokeMethod(runner_, std::move(call), Qt::QueuedConnection);
  }

  SiteRunner* runner_;
  unsigned run_;
};

SiteRunner::SiteRunner(PortOwners& owners, QObject* parent)
    : QObject(parent), owners_(owners) {}

// The lines end (and journal) before the events they call go.
SiteRunner::~SiteRunner() { run_.reset(); }

SitePreparation SiteRunner::Prepare(SiteRunSettings settings) {
  if (running()) return SitePreparation::kRefused;
  run_.reset();
  events_ = std::make_unique<QueuedEvents>(this, ++run_number_);
  settings.events = events_.get();
  settings.port_owners = &owners_;
  settings.owner = "zadanie obiektu " + settings.site_file.filename().string();
  run_ = std::make_unique<SiteRun>(std::move(settings));
  return run_->Prepare();
}

bool SiteRunner::Start() { return run_ && !running() && run_->Start(); }

void SiteRunner::Drop() {
  if (!running()) run_.reset();
}

void SiteRunner::Abort() {
  if (running()) run_->Abort();
}

bool SiteRunner::running() const {
  return run_ && run_->started() && !run_->ended();
}

void SiteRunner::EndNow() {
  if (!running()) return;
  run_->Abort();
  End(run_number_);
}

void SiteRunner::End(unsigned run) {
  if (run != run_number_ || !running()) return;
  run_->Finish();
  emit runEnded();
}

}  // namespace lumera
