#include "ui/help_file.h"

#include <QStringList>

HelpTopics parseHelpFile(const QString &content)
{
    HelpTopics topics;
    HelpTopic *current = nullptr;
    QStringList lines = content.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('@'))) {
            const int blank = line.indexOf(QLatin1Char(' '));
            bool ok = false;
            const int context = line.mid(1, blank < 0 ? -1 : blank - 1).toInt(&ok);
            if (ok && context > 0) {
                HelpTopic &topic = topics[context];
                topic.context = context;
                topic.title = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
                topic.text.clear();
                current = &topic;
                continue;
            }
        }
        if (current) {
            current->text += line;
            current->text += QLatin1Char('\n');
        }
    }
    for (auto &entry : topics)
        entry.second.text = entry.second.text.trimmed();
    return topics;
}

QString helpTopicHtml(const HelpTopic &topic)
{
    QString html = QStringLiteral("<h2>%1</h2>\n").arg(topic.title.toHtmlEscaped());
    QString paragraph;
    QStringList items;
    auto flush = [&]() {
        if (!paragraph.isEmpty())
            html += QStringLiteral("<p>%1</p>\n").arg(paragraph.toHtmlEscaped());
        paragraph.clear();
        if (!items.isEmpty()) {
            html += QStringLiteral("<ul>\n");
            for (const QString &item : std::as_const(items))
                html += QStringLiteral("<li>%1</li>\n").arg(item.toHtmlEscaped());
            html += QStringLiteral("</ul>\n");
        }
        items.clear();
    };
    const QStringList lines = topic.text.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            flush();
        } else if (line.startsWith(QLatin1String("- "))) {
            if (!paragraph.isEmpty())
                flush();
            items.append(line.mid(2));
        } else if (!items.isEmpty()) {
            // An indented or plain line right after an item continues it.
            items.last() += QLatin1Char(' ') + line;
        } else {
            if (!paragraph.isEmpty())
                paragraph += QLatin1Char(' ');
            paragraph += line;
        }
    }
    flush();
    return html;
}
