#pragma once
// The page's input offered to the view before the page sees it, as a message loop's
// pre-translation does: every event of the process passes here before GTK dispatches it, and
// widgets' own handlers (wxWidgets' key handling among them) come later.
#include <functional>

#include "display/page_message.h"

typedef union _GdkEvent GdkEvent;
typedef struct _GdkEventButton GdkEventButton;
typedef struct _GdkEventKey GdkEventKey;

namespace bolta {

class WxFrameWindow;

class PageInputHook {
 public:
  struct Handlers {
    std::function<bool(const Msg& msg)> preTranslateMessage;  // true: consumed
    std::function<void()> openSystemMenu;
  };

  // Sees the input on `frame` from now until destroyed.
  PageInputHook(WxFrameWindow& frame, Handlers handlers);
  ~PageInputHook();
  PageInputHook(const PageInputHook&) = delete;
  PageInputHook& operator=(const PageInputHook&) = delete;

 private:
  static void Filter(GdkEvent* event, void* self);
  bool IsOnFrame(GdkEvent* event) const;
  bool OnButton(const GdkEventButton& button);
  bool OnKey(const GdkEventKey& key);

  WxFrameWindow& frame_;
  Handlers handlers_;
};

}  // namespace bolta
