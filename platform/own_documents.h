#pragma once
// Our own documents, served to the web view under a scheme of their own rather than handed over
// as text: the engine then reloads them as any page, asking the pictures' server again, where a
// document given as text is reloaded with the pictures it has in memory.
#include <cstdint>
#include <string>
#include <string_view>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitURISchemeRequest WebKitURISchemeRequest;

namespace bolta {

class OwnDocuments {
 public:
  // Serves the documents to `web`, which must outlive this object.
  explicit OwnDocuments(WebKitWebView* web);
  ~OwnDocuments();
  OwnDocuments(const OwnDocuments&) = delete;
  OwnDocuments& operator=(const OwnDocuments&) = delete;

  // Makes `html` (UTF-8) the document shown from now on; returns its address, a new one each time,
  // so that one navigation is told from the next.
  const std::string& Serve(std::string html);
  const std::string& url() const { return url_; }

 private:
  static void OnRequest(WebKitURISchemeRequest* request, void* unused);

  WebKitWebView* web_;
  uint64_t serial_ = 0;
  std::string url_;
  std::string html_;  // UTF-8
};

}  // namespace bolta
