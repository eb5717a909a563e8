#include "widgets/ui/plain_tool_tip.h"

namespace sw {

QString PlainToolTip(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

}  // namespace sw
