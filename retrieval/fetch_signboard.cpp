#include "retrieval/fetch_signboard.h"

#include <memory>

#include "res/texts.h"
#include "retrieval/internet.h"

namespace bolta {

namespace {

constexpr uint32_t kContext = 1;  // the session's, the connection's and the request's alike
constexpr const char* kHeaderBlock =
    "Accept: text/*\r\n"
    "User-Agent: Porvestra/1.00 (Bolta/2.00)\r\n";

std::unique_ptr<InternetSession> OpenSession(const ProxySetting& proxy, InternetOpener& internet) {
  const std::string agent(text::kAppTitle);
  if (!proxy.UsesNamedProxy()) {
    return internet.Open(agent, kContext, INTERNET_OPEN_TYPE_PRECONFIG, {});
  }
  // A name that is no proxy fails as a fetch.
  return internet.Open(agent, kContext, INTERNET_OPEN_TYPE_PROXY, proxy.Name());
}

// Requests SETTING.TXT and applies its lines as they arrive; true when they made `info`
// complete, and then the request and the connection are closed here. Every InternetException
// of the exchange leaves through here.
bool ReadSettingFile(InternetSession& session, const BoardAddress& address, SignboardInfo& info) {
  const auto connection =
      session.GetHttpConnection(address.host, INTERNET_INVALID_PORT_NUMBER, {}, {});
  const std::string objectName = address.board + "/SETTING.TXT";
  const auto request = connection->OpenRequest("GET", objectName, {}, kContext, {}, "HTTP/1.0",
                                               INTERNET_FLAG_EXISTING_CONNECT);
  request->AddRequestHeaders(kHeaderBlock, HTTP_ADDREQ_FLAG_ADD_IF_NEW);
  request->SendRequest();

  info.title.clear();
  info.titlePictureUrl.clear();
  info.backgroundPictureUrl.clear();
  std::string line;
  while (request->ReadString(line)) ApplySettingLine(line, address, info);

  if (!IsComplete(info)) return false;
  request->Close();
  connection->Close();
  return true;
}

}  // namespace

void FetchSignboard(const std::string& address, const ProxySetting& proxy, InternetOpener& internet,
                    BoardAddress& boardAddress, SignboardInfo& info, SignboardPages& pages) {
  boardAddress = ParseBoardAddress(address);
  // Opening the session is outside the guarded region: its failure is the caller's.
  auto session = OpenSession(proxy, internet);

  bool complete = false;
  try {
    complete = ReadSettingFile(*session, boardAddress, info);
  } catch (const InternetException&) {
    pages.ShowMessagePage(std::string(text::kMsgFetchFailed));
    session->Close();
    return;
  }

  if (complete) {
    session->Close();
    session.reset();
    pages.ShowSignboardPage();
  } else {
    pages.ShowMessagePage(std::string(text::kMsgParseFailed));
    session->Close();
  }
}

}  // namespace bolta
