#pragma once

#include "VrnSnBaseGlslContext.h"

#include <QSet>
#include <QString>
#include <QVariant>

class VrnChannel;
class VrnCustomAttribute;
class VrnSnBaseNode;

// The context of a node that reads a paint channel. The node's channel reaches
// the shader as a uniform of type Channel named "Channel_" + id; a node that
// follows the current channel updates it whenever the user switches channels.
class VrnSnGlslChannelInputContext : public VrnSnBaseGlslContext
{
    Q_OBJECT
public:
    explicit VrnSnGlslChannelInputContext(QObject* parent);

    QSet<QString> residentChannelSet() const override;
    QString shaderDeclarationCode() const override;
    QString uniformName(const QString& name, VrnSnBaseNode* node) const override;

    virtual void applyExpression(const QString& expression);

public slots:
    QVariant uniformValue(const VrnCustomAttribute& Attribute, VrnSnBaseNode* ParentNode) override;
    virtual void onCurrentChannelChanged(VrnChannel*);
};
