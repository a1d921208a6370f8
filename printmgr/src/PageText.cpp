#include "PageText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace printmgr {

void drawTextFitted(QPainter& painter, QSize box, const QString& text, int largestPixels)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineEnd);
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    if (lines.isEmpty() || box.isEmpty())
        return;

    QFont font(QStringLiteral("DejaVu Sans"));
    int pixels = std::max(1, largestPixels);
    for (;;) {
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font, painter.device());
        double widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const double tallest = metrics.lineSpacing() * (lines.size() - 1) + metrics.height();
        if (pixels == 1 || (widest <= box.width() && tallest <= box.height()))
            break;
        // Text grows almost in proportion to its size; the loop checks again.
        const double factor = std::min(box.width() / widest, box.height() / tallest);
        pixels = std::clamp(static_cast<int>(std::floor(pixels * factor)), 1, pixels - 1);
    }

    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, painter.device());
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QPointF(0, metrics.ascent() + i * metrics.lineSpacing()), lines[i]);
}

} // namespace printmgr
