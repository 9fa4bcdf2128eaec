#include "res/texts.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "display/page_composition.h"
#include "res/encoding.h"

namespace bolta {
namespace {

struct TextCase {
  const char* name;
  std::string_view cp932;
  std::string_view utf8;
};

// Every text as the user must see it; look-alikes (ASCII space for U+3000, full-width ノ for
// half-width ﾉ, three full stops for …) decode to other characters and fail here.
const TextCase kTexts[] = {
    {"kAppTitle", text::kAppTitle, "Bolta"},
    {"kTemplateWindowTitle", text::kTemplateWindowTitle, "ろぴかせ"},
    {"kUntitledDocument", text::kUntitledDocument, "無題"},
    {"kMsgInvalidArgument", text::kMsgInvalidArgument, "引数が無効です…"},
    {"kMsgFetchFailed", text::kMsgFetchFailed, "SETTING.TXTの<br>取得失敗…"},
    {"kMsgParseFailed", text::kMsgParseFailed, "SETTING.TXTの<br>解析失敗…"},
    {"kTitleLoadingPicture", text::kTitleLoadingPicture, "画像読込中…"},
    {"kTitleMessagePage", text::kTitleMessagePage, "(;´Д｀)"},
    {"kSignboardPageHead", text::kSignboardPageHead,
     "about:<html><head><style type=\"text/css\"><!-- body { overflow:hidden; margin:0px } "
     "--></style></head><body Background=\""},
    {"kSignboardPageJoint", text::kSignboardPageJoint, "\"><img src=\""},
    {"kSignboardPageTail", text::kSignboardPageTail, "\"></body></html>"},
    {"kMessagePageHead", text::kMessagePageHead,
     "about:<html><head><style type=\"text/css\"><!-- body { overflow:hidden; margin:0px; "
     "line-height:1.1; padding-left:16px; font-family:'ＭＳ　Ｐゴシック' } "
     "--></style><body><br>　　∧||∧<BR>　（　 ⌒ ヽ　　<BR>　　∪　　ﾉ<BR>　　　Ｕ Ｕ<BR>"},
    {"kMessagePageTail", text::kMessagePageTail, "　<br><br></body></html>"},
    {"kTrayTooltip", text::kTrayTooltip, "ろぴかせ＠SETTING.TXT取得中…"},
    {"kMenuMove", text::kMenuMove, "移動(&M)"},
    {"kMenuCenterWindow", text::kMenuCenterWindow, "画面中央へ移動(&R)"},
    {"kMenuMinimize", text::kMenuMinimize, "最小化(&N)"},
    {"kMenuTopmost", text::kMenuTopmost, "最前面に表示(&T)"},
    {"kMenuTransparency", text::kMenuTransparency, "透明度"},
    {"kMenuProxySettings", text::kMenuProxySettings, "プロキシの設定(&P)"},
    {"kMenuClose", text::kMenuClose, "閉じる(&C)"},
    {"kMenuRestore", text::kMenuRestore, "元のサイズに戻す(&R)"},
    {"kMenuSize", text::kMenuSize, "サイズ変更(&S)"},
    {"kMenuMaximize", text::kMenuMaximize, "最大化(&X)"},
    {"kDlgProxyCaption", text::kDlgProxyCaption, "プロキシの設定"},
    {"kDlgOk", text::kDlgOk, "OK"},
    {"kDlgCancel", text::kDlgCancel, "ｷｬﾝｾﾙ"},
    {"kDlgUseProxy", text::kDlgUseProxy, "HTTPプロキシを使用する"},
    {"kDlgProxyAddress", text::kDlgProxyAddress, "プロキシアドレス"},
    {"kDlgProxyPort", text::kDlgProxyPort, "プロキシポート"},
    {"kDlgFontFace", text::kDlgFontFace, "ＭＳ Ｐゴシック"},
    {"kMsgTextHasNoCp932Form", text::kMsgTextHasNoCp932Form,
     "Shift_JISで表せない文字が含まれているため、保存できません。"},
    {"kMsgTextHasLineBreak", text::kMsgTextHasLineBreak,
     "改行が含まれているため、保存できません。"},
    {"kMsgTextTooLong", text::kMsgTextTooLong, "4095バイトを超えるため、保存できません。"},
    {"kErrCreateDocumentFailed", text::kErrCreateDocumentFailed,
     "空のﾄﾞｷｭﾒﾝﾄの作成に失敗しました。"},
    {"kErrInternalApplication", text::kErrInternalApplication, "ｱﾌﾟﾘｹｰｼｮﾝの内部ｴﾗｰです。"},
    {"kDocTemplateString", text::kDocTemplateString,
     "ろぴかせ\n\nBolta\n\n\nBolta.Document\nBolta Document"},
};

TEST(Texts, every_text_decodes_to_its_wording_and_back_to_the_same_bytes) {
  for (const TextCase& t : kTexts) {
    EXPECT_EQ(Cp932ToUtf8(t.cp932), t.utf8) << t.name;
    EXPECT_EQ(Utf8ToCp932(t.utf8), std::optional<std::string>(t.cp932)) << t.name;
  }
}

TEST(Texts, transparency_labels_are_the_ten_steps) {
  for (std::size_t step = 0; step < text::kAlphaLabels.size(); ++step) {
    const std::string percent = std::to_string(step * 10) + "%";
    EXPECT_EQ(text::kAlphaLabels[step], step == 0 ? " " + percent : percent);
  }
}

TEST(Texts, page_pieces_have_their_byte_lengths) {
  EXPECT_EQ(text::kMessagePageHead.size(), 236u);
  EXPECT_EQ(text::kMessagePageTail.size(), 24u);
  EXPECT_EQ(text::kSignboardPageHead.size() + text::kSignboardPageJoint.size() +
                text::kSignboardPageTail.size(),
            147u);
}

TEST(Texts, pages_are_their_fixed_bytes_plus_the_inserted_ones) {
  for (std::string_view message : {text::kMsgInvalidArgument, text::kMsgFetchFailed,
                                   text::kMsgParseFailed, std::string_view()}) {
    EXPECT_EQ(ComposeMessagePage(std::string(message)).size(), 260 + message.size());
  }
  EXPECT_EQ(ComposeMessagePage(std::string(text::kMsgFetchFailed)).size(), 287u);
  EXPECT_EQ(ComposeSignboardPage("http://host1/ba.gif", "http://host1/php.gif").size(),
            147u + 19u + 20u);
}

TEST(Texts, look_alike_characters_are_the_exact_code_page_932_bytes) {
  const std::string_view head = text::kMessagePageHead;
  // The font name: ideographic space 81 40 between the full-width letters.
  EXPECT_NE(head.find("'\x82\x6c\x82\x72\x81\x40\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e'"),
            std::string_view::npos);
  // Figure line 3 ends in the one-byte half-width ﾉ (C9); line 4 keeps its ASCII space.
  EXPECT_NE(head.find("\x81\x40\x81\x40\x81\xbe\x81\x40\x81\x40\xc9<BR>"), std::string_view::npos);
  EXPECT_NE(head.find("\x81\x40\x81\x40\x81\x40\x82\x74 \x82\x74<BR>"), std::string_view::npos);
  EXPECT_EQ(text::kMessagePageTail.substr(0, 2), "\x81\x40");
  // Each text that ends in an ellipsis ends in the one character 81 63.
  for (std::string_view ending :
       {text::kMsgInvalidArgument, text::kMsgFetchFailed, text::kMsgParseFailed,
        text::kTitleLoadingPicture, text::kTrayTooltip}) {
    EXPECT_TRUE(ending.ends_with("\x81\x63")) << Cp932ToUtf8(ending);
  }
}

}  // namespace
}  // namespace bolta
