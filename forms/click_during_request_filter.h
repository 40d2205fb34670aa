// Drops the mouse clicks on a button that were made while a blocking request was running.
// The window thread is held by the request, so such clicks wait in the window system's queue
// and would otherwise start the action again once the request ends: an impatient clerk would
// call further visitors whose tickets nobody sees.
#pragma once

#include <QObject>
#include <QtGlobal>
#include <optional>

namespace forms {

class ClickDuringRequestFilter : public QObject {
  Q_OBJECT

 public:
  // Watches `button`'s mouse presses; owned by the button.
  explicit ClickDuringRequestFilter(QObject* button);

  // Called when a request ends (answer or failure): presses stamped before now are dropped.
  void RequestEnded();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Event timestamps come from the window system's own clock. The difference to our steady
  // clock is learnt from each press that is taken, which is handled as soon as it was made;
  // the handling delay only makes a click look later, so a click after the answer is never
  // dropped.
  std::optional<qint64> event_clock_offset_ms_;
  // The end of the last request in the events' clock.
  std::optional<qint64> request_end_event_ms_;
};

}  // namespace forms
