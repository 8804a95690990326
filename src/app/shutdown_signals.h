#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "app/signal_pipe.h"

// The signals that end the program (app/signal_pipe.h), delivered to Qt's event loop:
// the UI thread, woken by the pipe, runs the shut-down.
//
// Thread: UI thread. One object at a time.

namespace ampora {

class ShutdownSignals final : public QObject {
 public:
  // onSignal runs on the UI thread, from the event loop, for every caught signal.
  explicit ShutdownSignals(std::function<void()> onSignal);
  ~ShutdownSignals() override = default;
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

 private:
  std::function<void()> onSignal_;
  SignalPipe pipe_;
  // Last: it goes before the pipe it watches.
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace ampora
