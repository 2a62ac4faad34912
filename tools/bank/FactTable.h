#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

// One fact of a table: one line of a file in assets/bank/facts.
struct Fact
{
    QStringList columns;             // the table's fixed columns, in order
    std::map<QString, QString> tags; // the optional "键：值" fields after them
    QString group;                   // the "## " heading it stands under
    QString source;                  // its own 来源, or the file's @来源 in force
    int line = 0;

    QString tag(const QString& key) const;
};

// A fact table: the facts of one file and the settings its "@键: 值" lines give.
struct FactTable
{
    enum class Kind
    {
        Pictures, // 图示: 图 | 名称 | 含义 | 出题
        Points,   // 记分: 分值 | 行为 | 出题
        Speeds    // 限速: 速度 | 陈述 | 出题
    };
    QString file;
    Kind kind = Kind::Pictures;
    int firstId = 0; // the block of IDs the file's questions go into
    int lastId = 0;
    std::map<QString, QString> settings; // 问名, 判义, 指, ... (not 类别, 题号, 来源)
    std::vector<Fact> facts;

    QString setting(const QString& key) const;
    // "file:line: " for messages about a fact (the file's name only).
    QString where(int line) const;
};

// Reads one fact file. Returns false with messages ("file:line: what") for every line it
// cannot take.
bool parseFactFile(const QString& path, FactTable* table, QStringList* errors);
