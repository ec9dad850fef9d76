#include "app/session/site_runner.h"

#include <QMetaObject>

#include "core/link/port_owners.h"

namespace lumera {

// Posts each line's call, in order, to the runner on the user-interface
// thread; the call carries copies of what it tells.
class SiteRunner::QueuedEvents : public SiteRunEvents {
 public:
  QueuedEvents(SiteRunner* runner, unsigned run) : runner_(runner), run_(run) {}

  void ControllerBegun(std::size_t line, int controller,
                       const SiteLineProgress& progress) override {
    Post([r = runner_, run = run_, line, controller, progress] {
      if (r->running_ && r->run_ == run) {
        emit r->controllerBegun(line, controller, progress);
      }
    });
  }
  void ControllerEnded(std::size_t line, const SiteRow& row,
                       const SiteLineProgress& progress) override {
    Post([r = runner_, run = run_, line, row, progress] {
      if (r->running_ && r->run_ == run) {
        emit r->controllerEnded(line, row, progress);
      }
    });
  }
  void LineEnded(std::size_t) override {
    Post([r = runner_, run = run_] { r->LineEnded(run); });
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

SiteRunner::~SiteRunner() {
  // The lines end (and journal) before the events they call go.
  operation_.reset();
  if (!owner_.empty()) owners_.Release(owner_);
}

SitePreparation SiteRunner::Prepare(SiteOperationSettings settings) {
  if (running_) return SitePreparation::kRefused;
  operation_.reset();
  events_ = std::make_unique<QueuedEvents>(this, ++run_);
  settings.events = events_.get();
  owner_ = "zadanie obiektu " + settings.site_file.filename().string();
  operation_ = std::make_unique<SiteOperation>(std::move(settings));
  return operation_->Prepare();
}

bool SiteRunner::Start(std::string& refusal) {
  if (!operation_ || running_) return false;
  std::vector<std::string> ports;
  for (const SitePlanLine& line : operation_->Plan()) {
    ports.push_back(line.port);
  }
  if (const std::optional<PortRefusal> held =
          owners_.Take(owner_, ports, DefaultPortRoots())) {
    refusal = PortRefusalText(*held);
    Drop();
    return false;
  }
  lines_ended_ = 0;
  running_ = true;
  if (!operation_->Start()) {
    running_ = false;
    refusal = operation_->refusal();
    owners_.Release(owner_);
    Drop();
    return false;
  }
  return true;
}

void SiteRunner::Drop() {
  if (!running_) operation_.reset();
}

void SiteRunner::Abort() {
  if (running_) operation_->Abort();
}

void SiteRunner::EndNow() {
  if (!running_) return;
  operation_->Abort();
  EndRun();
}

void SiteRunner::LineEnded(unsigned run) {
  if (!running_ || run != run_) return;
  if (++lines_ended_ == operation_->site().lines.size()) EndRun();
}

void SiteRunner::EndRun() {
  operation_->Finish();
  operation_->Unlock();
  owners_.Release(owner_);
  running_ = false;
  emit runEnded();
}

}  // namespace lumera
