#ifndef CORVANE_TESTS_RECORDINGTRANSLATOR_H
#define CORVANE_TESTS_RECORDINGTRANSLATOR_H

#include <QStringList>
#include <QTranslator>

// Answers every lookup in the "MainWindow" context with the source text in brackets and
// records each lookup as "context|source|disambiguation|n", to show which texts go through
// QCoreApplication::translate.
class RecordingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override
    {
        lookups.append(
            QString::fromUtf8(context) + QLatin1Char('|') + QString::fromUtf8(sourceText) +
            QLatin1Char('|') +
            (disambiguation ? QString::fromUtf8(disambiguation) : QStringLiteral("<null>")) +
            QLatin1Char('|') + QString::number(n));
        if (qstrcmp(context, "MainWindow") != 0)
            return QString();
        return QLatin1Char('[') + QString::fromUtf8(sourceText) + QLatin1Char(']');
    }

    mutable QStringList lookups;
};

#endif
