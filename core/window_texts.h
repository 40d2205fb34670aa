// Every text of the three windows in one place: what is drawn (captions, labels) and what a
// screen reader says of each control (its accessible name, and a description where the name
// alone does not say what the control does). Qt-free, so that every front-end shows and names
// its windows alike.
#pragma once

#include <string_view>

namespace queue::texts {

// A control as it is drawn and as it is named to a screen reader. An empty name leaves the
// control named by what it shows (a button by its caption, a label by its text, a field by the
// label it belongs to).
struct ControlText {
  std::u16string_view caption;
  std::u16string_view name;
  std::u16string_view description;
};

// ---- the operator window ----

inline constexpr std::u16string_view kMainDesignCaption = u"Электронная очередь - Оператор";
inline constexpr std::u16string_view kRoleLabel = u"Оператор";
inline constexpr std::u16string_view kCaptionSeparator = u" - ";
inline constexpr std::u16string_view kLogFirstLine = u"mmo1";

inline constexpr ControlText kQueueList{
    u"", u"Вызванный посетитель", u"Ответ сервера очереди на последнее нажатие кнопки «Следующий»"};
inline constexpr ControlText kNextButton{u"Следующий", u"",
                                         u"Вызвать к этому окну следующего посетителя из очереди"};
inline constexpr ControlText kAnswerLog{u"", u"Журнал ответов",
                                        u"Все ответы сервера очереди с начала работы программы"};
inline constexpr ControlText kSmallButtons{u"", u"Настройка и справка", u""};
inline constexpr ControlText kSettingsButton{
    u"S", u"Настройка", u"Открыть окно настройки: номер окна и адрес сервера очереди"};
inline constexpr ControlText kUnusedButton{u"H", u"Кнопка H", u"Ничего не делает"};
inline constexpr ControlText kAboutButton{u"?", u"О программе",
                                          u"Открыть окно «О программе»: версия и разработчик"};

// ---- the settings window ----

inline constexpr std::u16string_view kSetupCaption = u"Настройка";
inline constexpr std::u16string_view kServerDefault = u"http://localhost";

// The two fields are named by their labels.
inline constexpr ControlText kOperatorLabel{u"№ окна/оператора:", u"", u""};
inline constexpr ControlText kServerLabel{u"Адрес сервера:", u"", u""};
inline constexpr ControlText kOperatorSelect{
    u"", u"", u"Номер окна обслуживания, от 1 до 7, который уходит в каждый запрос к серверу"};
inline constexpr ControlText kServerEdit{u"", u"",
                                         u"Адрес сервера очереди, например http://localhost"};
inline constexpr ControlText kSaveButton{
    u"Сохранить", u"", u"Показать выбранный номер окна в заголовке окна оператора"};
inline constexpr ControlText kCloseButton{
    u"Закрыть", u"", u"Закрыть окно настройки; введённые значения остаются в силе"};

// ---- the About window ----

inline constexpr std::u16string_view kAboutCaption = u"О программе";

inline constexpr ControlText kLogo{u"", u"Логотип ТАРВИКС", u""};
inline constexpr ControlText kProductTitle{u"Рабочее место оператора для электронной очереди", u"",
                                           u""};
inline constexpr ControlText kVersionCaption{u"Версия:", u"", u""};
inline constexpr ControlText kSiteCaption{u"Сайт:", u"", u""};
inline constexpr ControlText kSiteLink{u"tarvix.ru", u"",
                                       u"Ссылка: открыть сайт разработчика в браузере"};
inline constexpr ControlText kMailCaption{u"Почта:", u"", u""};
inline constexpr ControlText kMailLink{u"support@tarvix.ru", u"",
                                       u"Ссылка: написать письмо разработчику"};
inline constexpr ControlText kCompanyCaption{u"Компания:", u"", u""};
inline constexpr ControlText kCompany{u"ТАРВИКС", u"", u""};
inline constexpr ControlText kAuthorCaption{u"Автор:", u"", u""};
inline constexpr ControlText kAuthor{u"Сидоров П. Н.", u"", u""};

// The maker's addresses, which the links hand to the desktop: fixed values, never the labels'
// texts.
inline constexpr std::u16string_view kWebAddress = u"http://tarvix.ru";
inline constexpr std::u16string_view kMailAddress = u"mailto:support@tarvix.ru";

}  // namespace queue::texts
