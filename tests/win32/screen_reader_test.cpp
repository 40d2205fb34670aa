// What a screen reader finds in the program's three windows, made in this process as the
// start-up makes them: every control's name, description and role read through the system's
// accessibility interface as a screen reader reads them (in this process: Wine carries no
// accessible object to another one); each label made just before its field; the tab order; the
// About window's links reached by Tab and opened by Enter, Space and a screen reader's default
// action; an answer announced as the big list's new value.
#include <oleacc.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/text.h"
#include "core/window_texts.h"
#include "queue_version.h"
#include "tests/win32/program_windows.h"
#include "win32/controls/wide_text.h"

namespace {

namespace texts = queue::texts;

// What a screen reader reads of a control itself (CHILDID_SELF).
struct Heard {
  HRESULT found = E_FAIL;
  std::u16string name;
  std::u16string description;
  LONG role = 0;
};

std::u16string Take(BSTR text) {
  std::u16string taken;
  if (text != nullptr) {
    taken.assign(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
    SysFreeString(text);
  }
  return taken;
}

Heard Hear(HWND control) {
  Heard heard;
  IAccessible* accessible = nullptr;
  heard.found =
      AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                 reinterpret_cast<void**>(&accessible));
  if (FAILED(heard.found) || accessible == nullptr) return heard;
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  if (accessible->get_accName(self, &text) == S_OK) heard.name = Take(text);
  text = nullptr;
  if (accessible->get_accDescription(self, &text) == S_OK) heard.description = Take(text);
  VARIANT role;
  VariantInit(&role);
  if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) heard.role = role.lVal;
  VariantClear(&role);
  accessible->Release();
  return heard;
}

std::u16string Str(std::u16string_view text) {
  return std::u16string(text);
}

// The addresses the About window's links handed out, in order.
std::vector<std::u16string> opened;

void RecordAddress(std::u16string_view address) {
  opened.emplace_back(address);
}

// Runs what the queue holds now, as the message loop would; bounded.
void Pump() {
  for (int round = 0; round < 20; ++round) {
    MSG message;
    bool any = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      any = true;
      HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
      if (root != nullptr && IsDialogMessageW(root, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!any) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// A key pressed in `window`'s control with the focus, given to the dialog manager as the
// program's message loop gives it. `repeated`: the key was already down (held).
void PressKey(HWND focused, WPARAM key, bool repeated = false) {
  MSG down{focused,
           WM_KEYDOWN,
           key,
           1 | (repeated ? (1 << 30) : 0),
           static_cast<DWORD>(GetMessageTime()),
           {}};
  if (!IsDialogMessageW(GetAncestor(focused, GA_ROOT), &down)) {
    TranslateMessage(&down);
    DispatchMessageW(&down);
  }
  MSG up{focused, WM_KEYUP, key, 1 | (1 << 30) | (1u << 31), static_cast<DWORD>(GetMessageTime()),
         {}};
  if (!IsDialogMessageW(GetAncestor(focused, GA_ROOT), &up)) {
    TranslateMessage(&up);
    DispatchMessageW(&up);
  }
  Pump();
}

class ScreenReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    program_windows::Make();
    if (AboutForm != nullptr) AboutForm->SetAddressOpener(&RecordAddress);
  }
  static void TearDownTestSuite() { program_windows::Destroy(); }
  void SetUp() override { opened.clear(); }
};

// A control as a screen reader should hear it. role 0: the system's, not examined.
struct Expected {
  const char* what;
  HWND (*control)();
  std::u16string_view name;
  std::u16string_view description;
  LONG role = 0;
};

void PrintTo(const Expected& expected, std::ostream* out) {
  *out << expected.what;
}

class ControlNameTest : public ScreenReaderTest, public ::testing::WithParamInterface<Expected> {};

TEST_P(ControlNameTest, IsHeardAsTheTextsSay) {
  const Expected& expected = GetParam();
  const Heard heard = Hear(expected.control());
  ASSERT_EQ(heard.found, S_OK);
  EXPECT_EQ(heard.name, Str(expected.name));
  EXPECT_EQ(heard.description, Str(expected.description));
  if (expected.role != 0) {
    EXPECT_EQ(heard.role, expected.role);
  }
}

const std::u16string kVersion = queue::Widen(queue::kVersionText);

INSTANTIATE_TEST_SUITE_P(
    ThreeWindows, ControlNameTest,
    ::testing::Values(
        // The operator window: every control says what it is for, not a bare letter.
        Expected{"queueList", [] { return MainForm->queueList; }, texts::kQueueList.name,
                 texts::kQueueList.description},
        Expected{"nextButton", [] { return MainForm->nextButton; }, texts::kNextButton.caption,
                 texts::kNextButton.description},
        Expected{"mmo1", [] { return MainForm->mmo1; }, texts::kAnswerLog.name,
                 texts::kAnswerLog.description},
        Expected{"grp1", [] { return MainForm->grp1; }, texts::kSmallButtons.name, u""},
        Expected{"btn2 (S)", [] { return MainForm->btn2; }, texts::kSettingsButton.name,
                 texts::kSettingsButton.description},
        Expected{"btn1 (H)", [] { return MainForm->btn1; }, texts::kUnusedButton.name,
                 texts::kUnusedButton.description},
        Expected{"btn3 (?)", [] { return MainForm->btn3; }, texts::kAboutButton.name,
                 texts::kAboutButton.description},
        // The settings window: the fields by their labels.
        Expected{"serverLabel", [] { return SetupForm->serverLabel; }, texts::kServerLabel.caption,
                 u""},
        Expected{"serverEdit", [] { return SetupForm->serverEdit; }, texts::kServerLabel.caption,
                 texts::kServerEdit.description},
        Expected{"operatorLabel", [] { return SetupForm->operatorLabel; },
                 texts::kOperatorLabel.caption, u""},
        Expected{"operatorSelect", [] { return SetupForm->operatorSelect; },
                 texts::kOperatorLabel.caption, texts::kOperatorSelect.description},
        Expected{"btn1 (Save)", [] { return SetupForm->btn1; }, texts::kSaveButton.caption,
                 texts::kSaveButton.description},
        Expected{"btn2 (Close)", [] { return SetupForm->btn2; }, texts::kCloseButton.caption,
                 texts::kCloseButton.description},
        // The About window: the logo by its name, the links as links.
        Expected{"imgLogo", [] { return AboutForm->imgLogo; }, texts::kLogo.name, u""},
        Expected{"lbl1", [] { return AboutForm->lbl1; }, texts::kProductTitle.caption, u""},
        Expected{"lbl6", [] { return AboutForm->lbl6; }, texts::kVersionCaption.caption, u""},
        Expected{"lblVersion", [] { return AboutForm->lblVersion; }, kVersion, u""},
        Expected{"lbl3", [] { return AboutForm->lbl3; }, texts::kSiteCaption.caption, u""},
        Expected{"lbl2 (site)", [] { return AboutForm->lbl2; }, texts::kSiteLink.caption,
                 texts::kSiteLink.description, ROLE_SYSTEM_LINK},
        Expected{"lbl4", [] { return AboutForm->lbl4; }, texts::kMailCaption.caption, u""},
        Expected{"lbl5 (mail)", [] { return AboutForm->lbl5; }, texts::kMailLink.caption,
                 texts::kMailLink.description, ROLE_SYSTEM_LINK},
        Expected{"lbl9", [] { return AboutForm->lbl9; }, texts::kCompanyCaption.caption, u""},
        Expected{"lbl11", [] { return AboutForm->lbl11; }, texts::kCompany.caption, u""},
        Expected{"lbl8", [] { return AboutForm->lbl8; }, texts::kAuthorCaption.caption, u""},
        Expected{"lbl10", [] { return AboutForm->lbl10; }, texts::kAuthor.caption, u""}));

// A screen reader that names a field by the label before it (in creation order) finds the
// field's own label there.
TEST_F(ScreenReaderTest, EachLabelIsMadeJustBeforeItsField) {
  const std::pair<HWND, HWND> labelled[] = {{SetupForm->serverLabel, SetupForm->serverEdit},
                                            {SetupForm->operatorLabel, SetupForm->operatorSelect},
                                            {AboutForm->lbl6, AboutForm->lblVersion},
                                            {AboutForm->lbl3, AboutForm->lbl2},
                                            {AboutForm->lbl4, AboutForm->lbl5},
                                            {AboutForm->lbl9, AboutForm->lbl11},
                                            {AboutForm->lbl8, AboutForm->lbl10}};
  for (const auto& [label, field] : labelled) {
    EXPECT_EQ(GetWindow(field, GW_HWNDPREV), label);
  }
}

// The dialog manager's Tab follows the order the windows are meant to have.
TEST_F(ScreenReaderTest, TabVisitsTheControlsInOrder) {
  const std::vector<std::pair<HWND, std::vector<HWND>>> windows = {
      {MainForm->hwnd(),
       {MainForm->queueList, MainForm->mmo1, MainForm->btn2, MainForm->btn1, MainForm->btn3}},
      {SetupForm->hwnd(),
       {SetupForm->serverEdit, SetupForm->operatorSelect, SetupForm->btn1, SetupForm->btn2}},
      {AboutForm->hwnd(), {AboutForm->lbl2, AboutForm->lbl5}}};
  for (const auto& [window, order] : windows) {
    std::vector<HWND> visited;
    HWND control = GetNextDlgTabItem(window, nullptr, FALSE);
    for (std::size_t i = 0; i <= order.size() && control != nullptr; ++i) {
      visited.push_back(control);
      control = GetNextDlgTabItem(window, control, FALSE);
    }
    std::vector<HWND> expected = order;
    expected.push_back(order.front());  // and round again
    EXPECT_EQ(visited, expected);
  }
}

TEST_F(ScreenReaderTest, LinksAreReachedByTabAndOpenedByEnterAndSpace) {
  HWND about = AboutForm->hwnd();
  ShowWindow(about, SW_SHOW);
  SetForegroundWindow(about);
  SetFocus(AboutForm->lbl2);
  ASSERT_EQ(GetFocus(), AboutForm->lbl2);
  PressKey(AboutForm->lbl2, VK_RETURN);
  EXPECT_EQ(opened, std::vector<std::u16string>{Str(texts::kWebAddress)});
  EXPECT_TRUE(IsWindowVisible(about));  // Enter is the link's, not the window's

  PressKey(AboutForm->lbl2, VK_TAB);
  ASSERT_EQ(GetFocus(), AboutForm->lbl5);
  PressKey(AboutForm->lbl5, VK_SPACE);
  // A held key opens the address once.
  PressKey(AboutForm->lbl5, VK_SPACE, /*repeated=*/true);
  EXPECT_EQ(opened,
            (std::vector<std::u16string>{Str(texts::kWebAddress), Str(texts::kMailAddress)}));
  // The arrows stay on the link rather than moving to the labels around it.
  PressKey(AboutForm->lbl5, VK_DOWN);
  EXPECT_EQ(GetFocus(), AboutForm->lbl5);
  PressKey(AboutForm->lbl5, VK_TAB);
  EXPECT_EQ(GetFocus(), AboutForm->lbl2);
  ShowWindow(about, SW_HIDE);
}

// A screen reader's "activate" on a link opens it, as a click does.
TEST_F(ScreenReaderTest, LinkDefaultActionOpensTheAddress) {
  IAccessible* link = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(AboutForm->lbl5, static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&link)),
            S_OK);
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT state;
  VariantInit(&state);
  ASSERT_EQ(link->get_accState(self, &state), S_OK);
  EXPECT_TRUE(state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_LINKED) != 0);
  EXPECT_EQ(link->accDoDefaultAction(self), S_OK);
  link->Release();
  Pump();
  EXPECT_EQ(opened, std::vector<std::u16string>{Str(texts::kMailAddress)});
}

struct WinEvent {
  DWORD event;
  HWND window;
  LONG object;
  LONG child;
  bool operator==(const WinEvent&) const = default;
};
std::vector<WinEvent> heard_events;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
  heard_events.push_back({event, window, object, child});
}

// An answer is the big list's new value, announced as such; the list keeps its name.
TEST_F(ScreenReaderTest, AnAnswerIsAnnouncedAsTheListsNewValue) {
  heard_events.clear();
  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, &RecordEvent,
                      GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  MainForm->ShowAnswer(u"A015");
  Pump();
  UnhookWinEvent(hook);
  const WinEvent announced{EVENT_OBJECT_VALUECHANGE, MainForm->queueList, OBJID_CLIENT,
                           CHILDID_SELF};
  EXPECT_EQ(std::count(heard_events.begin(), heard_events.end(), announced), 1);
  EXPECT_EQ(win32::WindowText(MainForm->queueList), u"A015");
  EXPECT_EQ(Hear(MainForm->queueList).name, Str(texts::kQueueList.name));
}

}  // namespace
