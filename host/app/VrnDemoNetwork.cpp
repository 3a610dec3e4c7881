#include "VrnDemoNetwork.h"

#include "VrnAttributeValues.h"
#include "VrnBuiltinKinds.h"
#include "VrnShaderNetwork.h"

VrnShaderNetwork* VrnDemoNetwork::create(QObject* parent, QString* error)
{
    auto* network = new VrnShaderNetwork(QStringLiteral("Demo"), parent);
    VrnShadingContext* sc = network->shadingContext();
    sc->setCurrentUvChannel(1001);
    sc->addChannel(VrnChannel::filled(QStringLiteral("Base"), 1001, 64, 0.8f, 0.3f, 0.2f, 1.0f));
    sc->addChannel(VrnChannel::filled(QStringLiteral("ShadeCache"), 1001, 64, 0.6f, 0.25f, 0.15f, 1.0f));

    auto make = [&](const QString& kindName, const QString& id) -> VrnSnBaseNode* {
        VrnSnBaseNode* n = network->createNode(VrnBuiltinKinds::kind(kindName), id, error);
        return n;
    };
    VrnSnBaseNode* base = make(QStringLiteral("ChannelInput"), QStringLiteral("Base"));
    VrnSnBaseNode* light = make(QStringLiteral("SphericalHarmonicsLight"), QStringLiteral("Light"));
    VrnSnBaseNode* shade = make(QStringLiteral("Multiply"), QStringLiteral("Shade"));
    VrnSnBaseNode* glow = make(QStringLiteral("ConstantColor"), QStringLiteral("Glow"));
    VrnSnBaseNode* sum = make(QStringLiteral("Add"), QStringLiteral("Final"));
    VrnSnBaseNode* out = make(QStringLiteral("Output"), QStringLiteral("Out"));
    if (!base || !light || !shade || !glow || !sum || !out) {
        delete network;
        return nullptr;
    }
    base->setUserAttribute(QStringLiteral("Channel"), QVariant::fromValue(VrnChannelId(QStringLiteral("Base"))));
    glow->setUserAttribute(QStringLiteral("Color"), QVariant::fromValue(VrnColor(0.05f, 0.05f, 0.1f, 0.0f)));

    shade->connectInput(QStringLiteral("A"), base, QStringLiteral("Output"));
    shade->connectInput(QStringLiteral("B"), light, QStringLiteral("Output"));
    sum->connectInput(QStringLiteral("A"), shade, QStringLiteral("Output"));
    sum->connectInput(QStringLiteral("B"), glow, QStringLiteral("Output"));
    out->connectInput(QStringLiteral("Input"), sum, QStringLiteral("Output"));

    // The lit base is cached in its own channel.
    shade->setCacheEnabled(true);
    shade->setCacheValid(true);
    shade->setCacheActive(2);
    const QString cacheName = shade->cacheAttributeName(QStringLiteral("Output"));
    shade->createUserAttribute(VrnCustomAttribute(cacheName, QVariant::fromValue(VrnChannelId(QStringLiteral("ShadeCache")))));
    sc->addChannelAlias(1001, cacheName, QStringLiteral("ShadeCache"));

    network->setRoot(out);
    return network;
}
