#include "platform/own_documents.h"

#include <webkit2/webkit2.h>

#include <utility>

namespace bolta {
namespace {

constexpr const char* kOwnScheme = "bolta";
// Where a web view finds the documents it is served; the context is the process's and outlives
// every view, so it looks them up through the view that asks.
constexpr const char* kDocumentsKey = "bolta-own-documents";

}  // namespace

OwnDocuments::OwnDocuments(WebKitWebView* web) : web_(web) {
  WebKitWebContext* context = webkit_web_view_get_context(web);
  // A scheme is registered once per context, for every view it has.
  if (g_object_get_data(G_OBJECT(context), kOwnScheme) == nullptr) {
    webkit_web_context_register_uri_scheme(context, kOwnScheme, &OwnDocuments::OnRequest, nullptr,
                                           nullptr);
    g_object_set_data(G_OBJECT(context), kOwnScheme, context);
  }
  g_object_set_data(G_OBJECT(web), kDocumentsKey, this);
}

OwnDocuments::~OwnDocuments() { g_object_set_data(G_OBJECT(web_), kDocumentsKey, nullptr); }

const std::string& OwnDocuments::Serve(std::string html) {
  url_ = std::string(kOwnScheme) + ":" + std::to_string(++serial_);
  html_ = std::move(html);
  return url_;
}

void OwnDocuments::OnRequest(WebKitURISchemeRequest* request, void* /*unused*/) {
  WebKitWebView* web = webkit_uri_scheme_request_get_web_view(request);
  const auto* self =
      web != nullptr
          ? static_cast<const OwnDocuments*>(g_object_get_data(G_OBJECT(web), kDocumentsKey))
          : nullptr;
  // Only the document being shown: a picture address in our scheme gets nothing.
  if (self == nullptr || self->url_.empty() ||
      self->url_ != webkit_uri_scheme_request_get_uri(request)) {
    g_autoptr(GError) error = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "not found");
    webkit_uri_scheme_request_finish_error(request, error);
    return;
  }
  const auto length = static_cast<gssize>(self->html_.size());
  g_autoptr(GInputStream) stream =
      g_memory_input_stream_new_from_data(g_memdup2(self->html_.data(), length), length, g_free);
  g_autoptr(WebKitURISchemeResponse) response = webkit_uri_scheme_response_new(stream, length);
  webkit_uri_scheme_response_set_content_type(response, "text/html; charset=utf-8");
  webkit_uri_scheme_request_finish_with_response(request, response);
}

}  // namespace bolta
