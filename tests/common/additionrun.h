#ifndef CORVANE_TESTS_ADDITIONRUN_H
#define CORVANE_TESTS_ADDITIONRUN_H

#include "model/projectreader.h"
#include "packs/packrepository.h"
#include "packs/targetadditions.h"

#include <QBuffer>
#include <QDir>

// What uVision adds to one target of a project held in memory, found as the converter finds
// it: every target in project order, so that notices merge across targets. The pack root
// is written "@" in folders and notices.
struct AdditionRun
{
    bool surveyed = false;
    Corvane::TargetAdditions additions;
    QStringList notices; // sorted

    // packRoot empty: no pack root at all. A project without targets has one, unnamed.
    AdditionRun(QByteArray project, const QString &projectDir, const QString &packRoot,
                const QString &target = QStringLiteral("Target 1"))
    {
        using namespace Corvane;
        QBuffer buffer(&project);
        Project survey;
        surveyed = buffer.open(QIODevice::ReadOnly) &&
                   readProject(buffer, survey) == ReadOutcome::EndOfInput;
        PackRepository packs(packRoot);
        AdditionFinder finder(survey, projectDir, packRoot.isEmpty() ? nullptr : &packs);
        const QStringList names =
            survey.targetNames().isEmpty() ? QStringList(QString()) : survey.targetNames();
        for (const QString &name : names) {
            const TargetAdditions found = finder.additionsFor(name);
            if (name == target || name.isEmpty())
                additions = found;
        }
        notices = noticeTexts(finder.notices());
        if (!packs.root().isEmpty()) {
            additions.packFolders.replaceInStrings(packs.root(), QStringLiteral("@"));
            notices.replaceInStrings(QDir::toNativeSeparators(packs.root()), QStringLiteral("@"));
        }
        notices.sort();
    }
};

#endif
