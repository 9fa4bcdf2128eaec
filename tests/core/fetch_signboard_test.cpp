// One retrieval over a scripted Internet layer: which failures leave it and which become a page.
#include "retrieval/fetch_signboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mock/scripted_internet.h"
#include "res/texts.h"

namespace bolta {
namespace {

struct RecordedPages final : SignboardPages {
  void ShowSignboardPage() override { shown.push_back("signboard"); }
  void ShowMessagePage(const std::string& message) override { shown.push_back(message); }
  std::vector<std::string> shown;
};

// Only the session's opening lies outside the guarded region: a later step that fails is the
// fetch-failed page, an empty file the unusable-file page.
TEST(FetchSignboard, a_session_that_cannot_be_opened_throws_and_shows_no_page) {
  BoardAddress board;
  SignboardInfo info;
  RecordedPages pages;
  const auto fetch = [&](const std::string& failingStep) {
    ScriptedInternet internet(failingStep);
    FetchSignboard("http://host.test/test/read.cgi/board/1/", ProxySetting{}, internet, board, info,
                   pages);
  };
  EXPECT_THROW(fetch("Open"), InternetException);
  EXPECT_TRUE(pages.shown.empty());
  for (const char* step : {"GetHttpConnection", "SendRequest", "ReadString", ""}) fetch(step);
  const std::string failed(text::kMsgFetchFailed);
  EXPECT_EQ(pages.shown,
            (std::vector<std::string>{failed, failed, failed, std::string(text::kMsgParseFailed)}));
}

}  // namespace
}  // namespace bolta
