#pragma once
// What the view stands on: the web view it hosts and its own window. The platform implements
// both; a recording fake stands in for them in the unit tests.
#include <cstdint>
#include <optional>
#include <string>

#include "res/geometry.h"

namespace bolta {

// How far the browser has loaded the current document; only COMPLETE is acted upon.
enum ReadyState : int32_t {
  READYSTATE_UNINITIALIZED = 0,
  READYSTATE_LOADING = 1,
  READYSTATE_LOADED = 2,
  READYSTATE_INTERACTIVE = 3,
  READYSTATE_COMPLETE = 4,
};

// The browser's current document as far as the view needs it: its body's scroll size as drawn,
// in window pixels, empty when the body (or its size) could not be read, and whether a picture it
// shows could not be had (its broken sign stands in its place).
struct HtmlDocument {
  std::optional<Size> bodyScrollSize;
  bool pictureMissing = false;
};

// The web view that the view hosts.
class BrowserControl {
 public:
  // Starts loading `url`, an "about:" address whose text after the scheme is a whole HTML
  // document in code page 932; the layer converts it to UTF-8 and shows that text as the page.
  // Returns at once: OnDocumentComplete comes later from the event loop, once per call.
  virtual void Navigate2(const std::string& url) = 0;
  // Loads the current document again. No OnDocumentComplete follows; the view polls the state,
  // so from this call until the reload has finished GetReadyState must not say COMPLETE.
  virtual void Refresh() = 0;
  // COMPLETE only once the document and its pictures have loaded, or the pictures that did not
  // come in time have been given up.
  virtual ReadyState GetReadyState() const = 0;
  // Nothing when there is no document; the document as it was measured when its load completed.
  virtual std::optional<HtmlDocument> GetHtmlDocument() const = 0;

 protected:
  ~BrowserControl() = default;
};

// The view's own window (the web view's area inside the frame).
class ViewWindow {
 public:
  // The client rectangle, origin 0, 0.
  virtual Rect GetClientRect() const = 0;
  // Starts (or restarts, with a fresh interval) timer `id`; its ticks reach CBoltaView::OnTimer.
  virtual void SetTimer(int32_t id, int32_t milliseconds) = 0;
  virtual void KillTimer(int32_t id) = 0;

 protected:
  ~ViewWindow() = default;
};

}  // namespace bolta
