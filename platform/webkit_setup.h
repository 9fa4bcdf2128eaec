#pragma once
// The web engine set up for showing our own two pages and nothing else, and the proxies its
// pictures go through.
#include "platform/curl_proxy.h"

typedef struct _WebKitWebView WebKitWebView;

namespace bolta {

// The engine's process-wide choices, made before its first web view: a document viewer's cache and
// no spell checking.
void PrepareWebEngine();

// No page script, no windows, no developer tools, no downloads; the Japanese Gothic face as the
// default one.
void HardenWebView(WebKitWebView* web);

// The page's pictures go by `proxies` from now on, instead of the desktop's proxy settings.
void UseProxyRoutes(WebKitWebView* web, const ProxyRoutes& proxies);

}  // namespace bolta
