#pragma once
// Every text the user sees, as code page 932 bytes. Each is written out in a comment above it;
// the tests decode the bytes and compare them with those comments' texts.
#include <array>
#include <string_view>

namespace bolta::text {

// The comments are the wording the tests read back: the formatter must not rewrap them.
// clang-format off

// application title: base name of the settings file, caption of message boxes: "Bolta"
inline constexpr std::string_view kAppTitle = "Bolta";
// document template string 128: "ろぴかせ\n\nBolta\n\n\nBolta.Document\nBolta Document"
inline constexpr std::string_view kDocTemplateString = "\x82\xeb\x82\xd2\x82\xa9\x82\xb9\n\nBolta\n\n\nBolta.Document\nBolta Document";
// caption the frame is created with, the template string's first field: "ろぴかせ"
inline constexpr std::string_view kTemplateWindowTitle =
    kDocTemplateString.substr(0, kDocTemplateString.find('\n'));
// title of a new document: "無題"
inline constexpr std::string_view kUntitledDocument = "\x96\xb3\x91\xe8";
// message: started without an argument: "引数が無効です…"
inline constexpr std::string_view kMsgInvalidArgument = "\x88\xf8\x90\x94\x82\xaa\x96\xb3\x8c\xf8\x82\xc5\x82\xb7\x81" "c";
// message: the request for SETTING.TXT failed: "SETTING.TXTの<br>取得失敗…"
inline constexpr std::string_view kMsgFetchFailed = "SETTING.TXT\x82\xcc<br>\x8e\xe6\x93\xbe\x8e\xb8\x94s\x81" "c";
// message: SETTING.TXT lacks the title or a picture: "SETTING.TXTの<br>解析失敗…"
inline constexpr std::string_view kMsgParseFailed = "SETTING.TXT\x82\xcc<br>\x89\xf0\x90\xcd\x8e\xb8\x94s\x81" "c";
// caption while the signboard pictures load: "画像読込中…"
inline constexpr std::string_view kTitleLoadingPicture = "\x89\xe6\x91\x9c\x93\xc7\x8d\x9e\x92\x86\x81" "c";
// caption of a message page: "(;´Д｀)"
inline constexpr std::string_view kTitleMessagePage = "(;\x81L\x84" "D\x81M)";
// signboard page, before the background-picture URL: "about:<html><head><style type="text/css"><!-- body { overflow:hidden; margin:0px } --></style></head><body Background=""
inline constexpr std::string_view kSignboardPageHead = "about:<html><head><style type=\"text/css\"><!-- body { overflow:hidden; margin:0px } --></style></head><body Background=\"";
// signboard page, between the background-picture and the title-picture URL: ""><img src=""
inline constexpr std::string_view kSignboardPageJoint = "\"><img src=\"";
// signboard page, after the title-picture URL: ""></body></html>"
inline constexpr std::string_view kSignboardPageTail = "\"></body></html>";
// message page, before the message: the style and the figure: "about:<html><head><style type="text/css"><!-- body { overflow:hidden; margin:0px; line-height:1.1; padding-left:16px; font-family:'ＭＳ　Ｐゴシック' } --></style><body><br>　　∧||∧<BR>　（　 ⌒ ヽ　　<BR>　　∪　　ﾉ<BR>　　　Ｕ Ｕ<BR>"
inline constexpr std::string_view kMessagePageHead = "about:<html><head><style type=\"text/css\"><!-- body { overflow:hidden; margin:0px; line-height:1.1; padding-left:16px; font-family:'\x82l\x82r\x81@\x82o\x83S\x83V\x83" "b\x83N' } --></style><body><br>\x81@\x81@\x81\xc8||\x81\xc8<BR>\x81@\x81i\x81@ \x81\xdc \x81R\x81@\x81@<BR>\x81@\x81@\x81\xbe\x81@\x81@\xc9<BR>\x81@\x81@\x81@\x82t \x82t<BR>";
// message page, after the message: "　<br><br></body></html>"
inline constexpr std::string_view kMessagePageTail = "\x81@<br><br></body></html>";
// notification-area tooltip while fetching: "ろぴかせ＠SETTING.TXT取得中…"
inline constexpr std::string_view kTrayTooltip = "\x82\xeb\x82\xd2\x82\xa9\x82\xb9\x81\x97SETTING.TXT\x8e\xe6\x93\xbe\x92\x86\x81" "c";
// system menu: restore, removed at creation: "元のサイズに戻す(&R)"
inline constexpr std::string_view kMenuRestore = "\x8c\xb3\x82\xcc\x83T\x83" "C\x83Y\x82\xc9\x96\xdf\x82\xb7(&R)";
// system menu: move: "移動(&M)"
inline constexpr std::string_view kMenuMove = "\x88\xda\x93\xae(&M)";
// system menu: size, removed at creation: "サイズ変更(&S)"
inline constexpr std::string_view kMenuSize = "\x83T\x83" "C\x83Y\x95\xcf\x8dX(&S)";
// system menu: centre, 352: "画面中央へ移動(&R)"
inline constexpr std::string_view kMenuCenterWindow = "\x89\xe6\x96\xca\x92\x86\x89\x9b\x82\xd6\x88\xda\x93\xae(&R)";
// system menu: minimize: "最小化(&N)"
inline constexpr std::string_view kMenuMinimize = "\x8d\xc5\x8f\xac\x89\xbb(&N)";
// system menu: maximize, removed at creation: "最大化(&X)"
inline constexpr std::string_view kMenuMaximize = "\x8d\xc5\x91\xe5\x89\xbb(&X)";
// system menu: on top, 160: "最前面に表示(&T)"
inline constexpr std::string_view kMenuTopmost = "\x8d\xc5\x91O\x96\xca\x82\xc9\x95\\\x8e\xa6(&T)";
// system menu: transparency popup: "透明度"
inline constexpr std::string_view kMenuTransparency = "\x93\xa7\x96\xbe\x93x";
// system menu: proxy settings, 336: "プロキシの設定(&P)"
inline constexpr std::string_view kMenuProxySettings = "\x83v\x83\x8d\x83L\x83V\x82\xcc\x90\xdd\x92\xe8(&P)";
// system menu: close: "閉じる(&C)"
inline constexpr std::string_view kMenuClose = "\x95\xc2\x82\xb6\x82\xe9(&C)";
// proxy dialog caption: "プロキシの設定"
inline constexpr std::string_view kDlgProxyCaption = "\x83v\x83\x8d\x83L\x83V\x82\xcc\x90\xdd\x92\xe8";
// proxy dialog: OK button: "OK"
inline constexpr std::string_view kDlgOk = "OK";
// proxy dialog: cancel button: "ｷｬﾝｾﾙ"
inline constexpr std::string_view kDlgCancel = "\xb7\xac\xdd\xbe\xd9";
// proxy dialog: check box: "HTTPプロキシを使用する"
inline constexpr std::string_view kDlgUseProxy = "HTTP\x83v\x83\x8d\x83L\x83V\x82\xf0\x8eg\x97p\x82\xb7\x82\xe9";
// proxy dialog: address label: "プロキシアドレス"
inline constexpr std::string_view kDlgProxyAddress = "\x83v\x83\x8d\x83L\x83V\x83" "A\x83h\x83\x8c\x83X";
// proxy dialog: port label: "プロキシポート"
inline constexpr std::string_view kDlgProxyPort = "\x83v\x83\x8d\x83L\x83V\x83|\x81[\x83g";
// proxy dialog font, 9 pt: "ＭＳ Ｐゴシック"
inline constexpr std::string_view kDlgFontFace = "\x82l\x82r \x82o\x83S\x83V\x83" "b\x83N";
// proxy dialog, OK refused: an edit holds a character that code page 932 lacks: "Shift_JISで表せない文字が含まれているため、保存できません。"
inline constexpr std::string_view kMsgTextHasNoCp932Form = "Shift_JIS\x82\xc5\x95\\\x82\xb9\x82\xc8\x82\xa2\x95\xb6\x8e\x9a\x82\xaa\x8a\xdc\x82\xdc\x82\xea\x82\xc4\x82\xa2\x82\xe9\x82\xbd\x82\xdf\x81" "A\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81" "B";
// proxy dialog, OK refused: an edit holds a line break: "改行が含まれているため、保存できません。"
inline constexpr std::string_view kMsgTextHasLineBreak = "\x89\xfc\x8ds\x82\xaa\x8a\xdc\x82\xdc\x82\xea\x82\xc4\x82\xa2\x82\xe9\x82\xbd\x82\xdf\x81" "A\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81" "B";
// proxy dialog, OK refused: an edit's text is longer than the settings file gives back: "4095バイトを超えるため、保存できません。"
inline constexpr std::string_view kMsgTextTooLong = "4095\x83o\x83" "C\x83g\x82\xf0\x92\xb4\x82\xa6\x82\xe9\x82\xbd\x82\xdf\x81" "A\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81" "B";
// message box: the window could not be created: "空のﾄﾞｷｭﾒﾝﾄの作成に失敗しました。"
inline constexpr std::string_view kErrCreateDocumentFailed = "\x8b\xf3\x82\xcc\xc4\xde\xb7\xad\xd2\xdd\xc4\x82\xcc\x8d\xec\x90\xac\x82\xc9\x8e\xb8\x94s\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81" "B";
// message box: a failure with no text of its own: "ｱﾌﾟﾘｹｰｼｮﾝの内部ｴﾗｰです。"
inline constexpr std::string_view kErrInternalApplication = "\xb1\xcc\xdf\xd8\xb9\xb0\xbc\xae\xdd\x82\xcc\x93\xe0\x95\x94\xb4\xd7\xb0\x82\xc5\x82\xb7\x81" "B";

// The transparency steps 0 to 9: " 0%" ... "90%"
inline constexpr std::array<std::string_view, 10> kAlphaLabels = {
    " 0%", "10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%"};

// clang-format on

}  // namespace bolta::text
