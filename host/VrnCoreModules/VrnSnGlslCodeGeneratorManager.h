#pragma once

#include <QMutex>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class VrnSnBaseGlslCodeGenerator;

// The registry of code generators by name, in registration order. Generators
// are kept for the rest of the process.
class VrnSnGlslCodeGeneratorManager
{
public:
    static VrnSnGlslCodeGeneratorManager& instance();

    // False (and the generator is not kept) when the name is taken or either argument is empty.
    bool registerCodeGenerator(const QString& name, VrnSnBaseGlslCodeGenerator* generator);
    VrnSnBaseGlslCodeGenerator* codeGenerator(const QString& name) const;
    QStringList codeGeneratorNames() const;

private:
    VrnSnGlslCodeGeneratorManager() = default;
    mutable QMutex m_mutex;
    QVector<QPair<QString, VrnSnBaseGlslCodeGenerator*>> m_generators;
};
