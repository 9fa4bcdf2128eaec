#include "app/bolta_doc.h"

#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "mainwnd/main_frame.h"
#include "mock/fake_window_layer.h"
#include "mock/scripted_proxy_dialog.h"
#include "mock/temp_settings_file.h"
#include "res/texts.h"

namespace bolta {
namespace {

TEST(BoltaDoc, a_new_document_is_untitled_and_its_title_becomes_the_whole_caption) {
  TempSettingsFile file;
  SettingsStore settings(file.path());
  FakeWindowLayer layer;
  ScriptedProxyDialog proxyDialog;
  CMainFrame frame(layer, settings, proxyDialog);
  CBoltaDoc document;
  EXPECT_EQ(document.GetTitle(), text::kUntitledDocument);

  document.SetFrame(&frame);
  frame.SetActiveDocument(&document);
  document.SetTitle(std::string(text::kTitleLoadingPicture));
  EXPECT_EQ(layer.caption, text::kTitleLoadingPicture);
  document.SetTitle("");
  EXPECT_EQ(layer.caption, "");
  EXPECT_EQ(layer.calls.size(), 2u);
}

}  // namespace
}  // namespace bolta
