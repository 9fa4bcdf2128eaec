#pragma once
// The web engine set up for showing our own two pages and nothing else, and the proxies its
// pictures go through.
#include <optional>

#include "platform/curl_proxy.h"

typedef struct _WebKitWebView WebKitWebView;

namespace bolta {

// The engine's process-wide choices, made before its first web view: a document viewer's cache, no
// spell checking, and the proxies the pictures go through: `proxies`, or when none are given the
// desktop's proxy settings. The last starts the engine's network process: made before the toolkit
// starts, the two starts overlap.
void PrepareWebEngine(const std::optional<ProxyRoutes>& proxies);

// No page script, no windows, no developer tools, no downloads; the Japanese Gothic face as the
// default one.
void HardenWebView(WebKitWebView* web);

}  // namespace bolta
