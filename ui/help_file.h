#pragma once

#include <QString>

#include <map>

// The program's help file AIDE.HLP: plain UTF-8 text holding one topic per
// help context number. A line "@<number> <title>" starts a topic; the lines
// up to the next topic are its text, with blank lines between paragraphs
// and "- " at the start of a list item. Lines before the first topic and
// lines starting with ";" are comments.
struct HelpTopic {
    int context = 0;
    QString title;
    QString text;
};

using HelpTopics = std::map<int, HelpTopic>;

HelpTopics parseHelpFile(const QString &content);

// The topic as HTML for the help window (text escaped, paragraphs, lists).
QString helpTopicHtml(const HelpTopic &topic);
