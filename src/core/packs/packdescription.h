#ifndef CORVANE_PACKDESCRIPTION_H
#define CORVANE_PACKDESCRIPTION_H

#include "model/rte.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace Corvane {

// A CMSIS pack description (.pdsc), or a generator's (.gpdsc): the parts that decide how a
// target is compiled. Read with QXmlStreamReader; attribute names as in the format.

struct PackFile
{
    Attributes attributes; // category, name, condition, attr ...
    QString category() const { return attributes.value(QStringLiteral("category")); }
    QString name() const { return attributes.value(QStringLiteral("name")); }
    QString condition() const { return attributes.value(QStringLiteral("condition")); }
};

// A component or an API: Cclass, Cgroup, Csub, Cvariant, Cvendor, Cversion, Capiversion,
// condition; a component inside a <bundle> carries the bundle's Cbundle, Cclass, Cversion and
// Cvendor unless it has its own.
struct PackComponent
{
    Attributes attributes;
    QList<PackFile> files;
};

// One device or variant, with what it inherits from its family, subfamily and device: the
// deeper level wins, attribute by attribute. Processor attributes (Dcore, Dfpu ...) and the
// <compile> element's header and define are inherited the same way.
struct PackDevice
{
    Attributes attributes; // Dvendor, Dfamily, DsubFamily, Dname, Dvariant, Dcore, Dfpu ...
    QString header;        // <compile header>, relative to the pack's folder
    QString define;        // <compile define>
};

// One <accept>, <require> or <deny> of a condition.
struct ConditionTerm
{
    enum Kind { Accept, Require, Deny } kind = Require;
    Attributes attributes;
};

struct PackDescription
{
    QString error; // why the file could not be read; empty when it was
    QString vendor;
    QString name;
    QHash<QString, QList<ConditionTerm>> conditions;
    QList<PackDevice> devices;
    QList<PackComponent> components;
    QList<PackComponent> apis;

    bool isValid() const { return error.isEmpty(); }
    // The device or variant of that name (a Dname or Dvariant), or null.
    const PackDevice *device(const QString &name) const;
};

// Reads a description from its text. A malformed or truncated file gives a description
// with an error and nothing in it.
PackDescription readPackDescription(const QByteArray &xml);

} // namespace Corvane

#endif
