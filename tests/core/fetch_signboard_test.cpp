#include "retrieval/fetch_signboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mock/recording_internet.h"
#include "mock/recording_signboard_pages.h"
#include "mock/scripted_internet.h"
#include "mock/temp_settings.h"
#include "res/texts.h"

namespace bolta {
namespace {

const std::string kAddress = "http://host1/test/read.cgi/news/1234567890/";
const std::vector<std::string> kCompleteLines = {"BBS_TITLE=News", "BBS_TITLE_PICTURE=./ba.gif",
                                                 "BBS_BG_PICTURE=../bg.gif"};
const std::string kFetchFailedPage = "ShowMessagePage " + std::string(text::kMsgFetchFailed);
const std::string kParseFailedPage = "ShowMessagePage " + std::string(text::kMsgParseFailed);

// The calls up to the first read, for kAddress without a proxy.
const CallLog kRequestCalls = {
    "Open Bolta 1 0 \"\"", "GetHttpConnection \"host1\" 0 \"\" \"\"",
    "OpenRequest GET \"news/SETTING.TXT\" \"\" 1 0 HTTP/1.0 536870912",
    "AddRequestHeaders \"Accept: text/*\\r\\nUser-Agent: Porvestra/1.00 (Bolta/2.00)\\r\\n\" "
    "268435456",
    "SendRequest"};

CallLog Joined(std::vector<CallLog> parts) {
  CallLog all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

CallLog Reads(const std::vector<std::string>& lines, const std::string& end) {
  CallLog reads;
  for (const auto& line : lines) reads.push_back("ReadString " + Quoted(line));
  reads.push_back(end);
  return reads;
}

class FetchSignboardTest : public ::testing::Test {
 protected:
  void Fetch(InternetScript script, const std::string& address = kAddress) {
    ScriptedInternet scripted(std::move(script));
    RecordingInternet internet(scripted, log_);
    RecordingSignboardPages pages(log_);
    FetchSignboard(address, settings_.store(), internet, boardAddress_, info_, pages);
  }

  TempSettings settings_;
  CallLog log_;
  BoardAddress boardAddress_;
  SignboardInfo info_;
};

TEST_F(FetchSignboardTest, complete_closes_request_connection_and_session_before_the_page) {
  Fetch({kCompleteLines, ""});
  EXPECT_EQ(log_,
            Joined({kRequestCalls,
                    Reads(kCompleteLines, "ReadString false"),
                    {"Close request", "Close connection", "release request", "release connection",
                     "Close session", "release session", "ShowSignboardPage"}}));
  EXPECT_EQ(boardAddress_.host, "host1");
  EXPECT_EQ(boardAddress_.board, "news");
  EXPECT_EQ(info_.title, "News");
  EXPECT_EQ(info_.titlePictureUrl, "http://host1/news/ba.gif");
  EXPECT_EQ(info_.backgroundPictureUrl, "http://host1/bg.gif");
}

TEST_F(FetchSignboardTest, incomplete_shows_the_parse_failure_then_closes_the_session) {
  info_ = {"old background", "old title picture", "old title"};
  Fetch({{"BBS_TITLE=News", "BBS_TITLE_PICTURE=./ba.gif"}, ""});
  EXPECT_EQ(log_,
            Joined({kRequestCalls,
                    Reads({"BBS_TITLE=News", "BBS_TITLE_PICTURE=./ba.gif"}, "ReadString false"),
                    {"release request", "release connection", kParseFailedPage, "Close session",
                     "release session"}}));
  EXPECT_EQ(info_.backgroundPictureUrl, "") << "the fields are emptied before the first line";
}

TEST_F(FetchSignboardTest, internet_failure_at_any_step_shows_the_fetch_failure_then_closes) {
  struct Case {
    const char* step;
    CallLog calls;  // from the first call after SendRequest to the page
  };
  const CallLog afterLines = Reads(kCompleteLines, "ReadString false");
  const Case cases[] = {
      {"GetHttpConnection", {}},
      {"OpenRequest", {}},
      {"AddRequestHeaders", {}},
      {"SendRequest", {}},
      {"ReadString", Reads(kCompleteLines, "ReadString throws")},
      {"Close request", Joined({afterLines, {"Close request throws"}})},
      {"Close connection", Joined({afterLines, {"Close request", "Close connection throws"}})},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.step);
    log_.clear();
    Fetch({kCompleteLines, row.step});

    // The calls up to the failing one, which throws; then those after the send, if any.
    CallLog expected;
    for (const auto& call : kRequestCalls) {
      expected.push_back(call);
      if (call.starts_with(row.step)) {
        expected.back() += " throws";
        break;
      }
    }
    expected = Joined({expected, row.calls});
    const bool requestMade = std::string_view(row.step) != "GetHttpConnection" &&
                             std::string_view(row.step) != "OpenRequest";
    if (requestMade) expected.push_back("release request");
    if (std::string_view(row.step) != "GetHttpConnection") {
      expected.push_back("release connection");
    }
    expected.insert(expected.end(), {kFetchFailedPage, "Close session", "release session"});
    EXPECT_EQ(log_, expected);
  }
}

TEST_F(FetchSignboardTest, session_that_cannot_be_opened_leaves_as_the_exception_with_no_page) {
  EXPECT_THROW(Fetch({kCompleteLines, "Open"}), InternetException);
  EXPECT_EQ(log_, CallLog{"Open Bolta 1 0 \"\" throws"});
}

TEST_F(FetchSignboardTest, proxy_settings_name_the_session_proxy) {
  struct Case {
    const char* name;
    int32_t useProxy;
    std::string address;
    std::string port;
    std::string open;
  };
  const Case cases[] = {
      {"address and port joined by a colon", 1, "proxy1", "8080", "Open Bolta 1 3 \"proxy1:8080\""},
      {"every value but 0 uses the proxy", 2, "proxy1", "8080", "Open Bolta 1 3 \"proxy1:8080\""},
      {"negative values too", -1, "proxy1", "8080", "Open Bolta 1 3 \"proxy1:8080\""},
      {"both empty give a lone colon", 1, "", "", "Open Bolta 1 3 \":\""},
      {"port not tested as a number", 1, "proxy1", "http", "Open Bolta 1 3 \"proxy1:http\""},
      {"0 ignores a stored proxy", 0, "proxy1", "8080", "Open Bolta 1 0 \"\""},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    settings_.SetProxy(row.useProxy, row.address, row.port);
    log_.clear();
    Fetch({kCompleteLines, ""});
    ASSERT_FALSE(log_.empty());
    EXPECT_EQ(log_.front(), row.open);
  }
}

TEST_F(FetchSignboardTest, address_pieces_name_the_server_and_the_object) {
  struct Case {
    std::string address;
    std::string connection;
    std::string request;
  };
  const Case cases[] = {
      {"http://host1/news/", "GetHttpConnection \"host1\"", "OpenRequest GET \"/SETTING.TXT\""},
      {"http://host1:8080/p1/p2/news/1/", "GetHttpConnection \"host1:8080\"",
       "OpenRequest GET \"news/SETTING.TXT\""},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.address);
    log_.clear();
    Fetch({kCompleteLines, ""}, row.address);
    ASSERT_GE(log_.size(), 3u);
    EXPECT_TRUE(log_[1].starts_with(row.connection)) << log_[1];
    EXPECT_TRUE(log_[2].starts_with(row.request)) << log_[2];
  }
}

}  // namespace
}  // namespace bolta
