#include "app/shutdown_signals.h"

namespace ampora {

ShutdownSignals::ShutdownSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (pipe_.ReadFd() < 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(pipe_.ReadFd(), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    if (pipe_.Drain() && onSignal_) onSignal_();
  });
}

}  // namespace ampora
