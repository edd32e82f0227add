#include "platform/ui/UserInteraction.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStringList>

namespace vx {

UserInteraction& QtUi();  // QtUserInteraction.cpp

namespace {
UserInteraction* g_installed = nullptr;
}

UserInteraction& Ui() { return g_installed != nullptr ? *g_installed : QtUi(); }

void SetUi(UserInteraction* service) { g_installed = service; }

MsgAnswer UserInteraction::Message(const QString& text, MsgIcon icon, MsgButtons buttons,
                                   int defaultButton) {
  MessageRequest request;
  request.text = text;
  request.icon = icon;
  request.buttons = buttons;
  request.defaultButton = defaultButton;
  return Message(request);
}

QString QtNameFilters(const QString& pipeFilter) {
  const QStringList parts = pipeFilter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    }
    // Qt reads the patterns from the last parentheses; add them unless the description
    // already ends in exactly those.
    const QString own = QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    filters << (parts[i].endsWith(own) ? parts[i] : parts[i] + QLatin1Char(' ') + own);
  }
  return filters.join(QLatin1String(";;"));
}

WaitCursor::WaitCursor() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
}

WaitCursor::~WaitCursor() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    QGuiApplication::restoreOverrideCursor();
  }
}

}  // namespace vx
