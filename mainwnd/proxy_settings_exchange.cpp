#include "mainwnd/proxy_settings_exchange.h"

#include <utility>
#include <variant>

#include "app/settings_store.h"
#include "res/encoding.h"
#include "res/resource.h"

namespace bolta {
namespace {

// The member's new bytes for an edit's text, or why there are none.
std::variant<std::string, TextProblem> TextOutOfEdit(const std::string& utf8,
                                                     const std::string& member) {
  // Untouched text keeps its bytes: code page 932 has characters with two codes, and stored
  // bytes that are no character at all show as U+FFFD.
  if (utf8 == Cp932ToUtf8(member)) return member;
  std::optional<std::string> cp932 = Utf8ToCp932(utf8);
  if (!cp932) return TextProblem::kNoCp932Form;
  if (cp932->find_first_of("\r\n") != std::string::npos) return TextProblem::kLineBreak;
  if (cp932->size() > kMaxProfileStringBytes) return TextProblem::kTooLong;
  return std::move(*cp932);
}

}  // namespace

ProxySettingsControls ExchangeIntoDialog(ProxySettingsData& data) {
  if (data.m_bUseProxy < 0 || data.m_bUseProxy > 2) data.m_bUseProxy = 0;
  return {Cp932ToUtf8(data.m_strProxyAddress), Cp932ToUtf8(data.m_strProxyPort),
          data.m_bUseProxy != 0};
}

std::optional<ExchangeFailure> ExchangeOutOfDialog(const ProxySettingsControls& controls,
                                                   ProxySettingsData& data) {
  auto address = TextOutOfEdit(controls.address, data.m_strProxyAddress);
  if (const auto* problem = std::get_if<TextProblem>(&address))
    return ExchangeFailure{IDC_PROXY_ADDRESS, *problem};
  auto port = TextOutOfEdit(controls.port, data.m_strProxyPort);
  if (const auto* problem = std::get_if<TextProblem>(&port))
    return ExchangeFailure{IDC_PROXY_PORT, *problem};

  data.m_strProxyAddress = std::get<std::string>(std::move(address));
  data.m_strProxyPort = std::get<std::string>(std::move(port));
  data.m_bUseProxy = controls.useProxy ? 1 : 0;
  return std::nullopt;
}

}  // namespace bolta
