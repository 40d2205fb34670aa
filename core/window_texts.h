// The fixed texts of the program's windows, held once for both programs: the captions, the
// controls' texts, the request path and the maker's addresses.
#pragma once

#include <string_view>

namespace queue {

// The operator window.
inline constexpr std::u16string_view kRoleLabel = u"Оператор";
// The design caption; the first showing replaces it before it reaches the screen.
inline constexpr std::u16string_view kMainDesignCaption = u"Электронная очередь - Оператор";
inline constexpr std::u16string_view kNextCaption = u"Следующий";
inline constexpr std::u16string_view kSettingsButtonCaption = u"S";
inline constexpr std::u16string_view kHelpButtonCaption = u"H";
inline constexpr std::u16string_view kAboutButtonCaption = u"?";
inline constexpr std::u16string_view kLogFirstLine = u"mmo1";
inline constexpr std::u16string_view kRequestPath = u"/getQueue?operator=";

// The settings window.
inline constexpr std::u16string_view kSettingsCaption = u"Настройка";
inline constexpr std::u16string_view kOperatorLabelText = u"№ окна/оператора:";
inline constexpr std::u16string_view kServerLabelText = u"Адрес сервера:";
inline constexpr std::u16string_view kSaveCaption = u"Сохранить";
inline constexpr std::u16string_view kCloseCaption = u"Закрыть";
inline constexpr int kWindowNumbers = 7;  // the list's items "1" to "7"

// The About window.
inline constexpr std::u16string_view kAboutCaption = u"О программе";
inline constexpr std::u16string_view kAboutTitleText =
    u"Рабочее место оператора для электронной очереди";
inline constexpr std::u16string_view kVersionCaption = u"Версия:";
inline constexpr std::u16string_view kSiteCaption = u"Сайт:";
inline constexpr std::u16string_view kMailCaption = u"Почта:";
inline constexpr std::u16string_view kCompanyCaption = u"Компания:";
inline constexpr std::u16string_view kCompanyName = u"ТАРВИКС";
inline constexpr std::u16string_view kAuthorCaption = u"Автор:";
inline constexpr std::u16string_view kAuthorName = u"Сидоров П. Н.";
// The maker's addresses: the links open these fixed values, never the labels' texts.
inline constexpr std::u16string_view kWebAddress = u"http://tarvix.ru";
inline constexpr std::u16string_view kMailAddress = u"mailto:support@tarvix.ru";
inline constexpr std::u16string_view kWebLabelText = u"tarvix.ru";
inline constexpr std::u16string_view kMailLabelText = u"support@tarvix.ru";

}  // namespace queue
