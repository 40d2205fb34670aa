// Dropping the clicks that were made while a request held the window thread.
#include "forms/click_during_request_filter.h"

#include <QEvent>
#include <QMouseEvent>
#include <chrono>

namespace forms {
namespace {

qint64 SteadyNowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ClickDuringRequestFilter::ClickDuringRequestFilter(QObject* button) : QObject(button) {
  button->installEventFilter(this);
}

void ClickDuringRequestFilter::RequestEnded() {
  if (event_clock_offset_ms_) request_end_event_ms_ = SteadyNowMs() - *event_clock_offset_ms_;
}

bool ClickDuringRequestFilter::eventFilter(QObject*, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) {
    return false;
  }
  const auto stamp = static_cast<qint64>(static_cast<QMouseEvent*>(event)->timestamp());
  if (request_end_event_ms_ && stamp < *request_end_event_ms_) {
    // Swallowing the press is enough: the button then ignores the release that follows.
    event->accept();
    return true;
  }
  event_clock_offset_ms_ = SteadyNowMs() - stamp;
  return false;
}

}  // namespace forms
