#include "tests/support/qt_program_driver.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest/QTest>

#include <algorithm>

namespace qv::testing {

QWidget* Control(QWidget* dialog, int id) { return dialog->findChild<QWidget*>(QString::number(id)); }

void Click(QWidget* dialog, int id) {
  if (QWidget* control = Control(dialog, id)) QTest::mouseClick(control, Qt::LeftButton);
  else ADD_FAILURE() << "no control " << id;
}

void TypeInto(QWidget* dialog, int id, std::string_view text) {
  auto* edit = qobject_cast<QLineEdit*>(Control(dialog, id));
  if (!edit) {
    ADD_FAILURE() << "no edit field " << id;
    return;
  }
  edit->selectAll();
  QTest::keyClicks(edit, QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

std::string ControlText(QWidget* dialog, int id) {
  QWidget* control = Control(dialog, id);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text().toStdString();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text().toStdString();
  return {};
}

void PressButton(QWidget* window, const QString& text) {
  for (auto* button : window->findChildren<QAbstractButton*>()) {
    if (button->text().remove('&') == text) {
      button->click();
      return;
    }
  }
  ADD_FAILURE() << "no button " << text.toStdString();
}

namespace {

// A message box's button texts by their answers.
constexpr std::pair<int, const char*> kAnswerTexts[] = {
    {kAnswerOk, "OK"}, {kAnswerCancel, "Cancel"}, {kAnswerRetry, "Retry"}};

// The answer that a button of this text gives, 0 for none of them.
int AnswerOf(const QString& text) {
  for (const auto& [id, known] : kAnswerTexts)
    if (text == QLatin1String(known)) return id;
  return 0;
}

}  // namespace

std::vector<std::string> MessageBoxAnswers::Texts() const {
  std::vector<std::string> texts;
  for (const BoxSeen& box : seen) texts.push_back(box.text);
  return texts;
}

void MessageBoxAnswers::Expect(int answer, std::function<void(QMessageBox*)> first) {
  answers.push_back([answer, first = std::move(first)](QMessageBox* box) {
    if (first) first(box);
    for (const auto& [id, text] : kAnswerTexts)
      if (id == answer) PressButton(box, QString::fromLatin1(text));
  });
}

std::vector<BoxSeen> MessageBoxAnswers::During(const std::function<void()>& act) {
  const auto before = static_cast<std::ptrdiff_t>(seen.size());
  act();
  answers.clear();
  return {seen.begin() + before, seen.end()};
}

bool MessageBoxAnswers::Answer(QWidget* window) {
  auto* box = qobject_cast<QMessageBox*>(window);
  if (!box) return false;
  BoxIcon icon = BoxIcon::None;
  switch (box->icon()) {
    case QMessageBox::Information: icon = BoxIcon::Information; break;
    case QMessageBox::Warning: icon = BoxIcon::Warning; break;
    case QMessageBox::Question: icon = BoxIcon::Question; break;
    case QMessageBox::Critical: icon = BoxIcon::Error; break;
    default: break;
  }
  std::vector<int> buttons;
  for (auto* button : box->buttons()) buttons.push_back(AnswerOf(button->text().remove('&')));
  std::sort(buttons.begin(), buttons.end());
  seen.push_back({box->windowTitle().toStdString(), box->text().toStdString(), icon, buttons, ""});
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected message box: " << seen.back().text;
    PressButton(box, QStringLiteral("OK"));
    return true;
  }
  auto answer = std::move(answers.front());
  answers.pop_front();
  answer(box);
  // A box that the answer did not close would hold the program for good.
  if (box->isVisible()) {
    ADD_FAILURE() << "the answer left the box open: " << seen.back().text;
    box->done(0);
  }
  return true;
}

std::function<void(QWidget*)> RouteWindows(MessageBoxAnswers& boxes,
                                           std::deque<std::function<void(QWidget*)>>* others,
                                           std::function<bool(QWidget*)> main) {
  return [&boxes, others, main = std::move(main)](QWidget* window) {
    if (boxes.Answer(window) || main(window)) return;
    if (others && !others->empty()) {
      const auto handle = std::move(others->front());
      others->pop_front();
      return handle(window);
    }
    ADD_FAILURE() << "unexpected window " << window->windowTitle().toStdString();
    window->close();
  };
}

}  // namespace qv::testing
