#include "VrnShaderNetworkGlslContextPlugin.h"

#include "TextureToken.h"
#include "VrnDebug.h"
#include "VrnSnGlslChannelBakeContext.h"
#include "VrnSnGlslChannelInputContext.h"
#include "VrnSnGlslCodeGeneratorManager.h"
#include "VrnSnGlslCodeGenerator_Style1.h"
#include "VrnSnGlslCodeGenerator_Style2.h"
#include "VrnSnGlslCodeGenerator_Style3.h"
#include "VrnSnGlslCodeGenerator_Style4.h"
#include "VrnSnGlslCodeGenerator_Style5.h"
#include "VrnSnGlslCodeGenerator_Style6.h"
#include "VrnSnGlslContextManager.h"
#include "VrnSnGlslIBLContext.h"

namespace {
const char* const kSourceFile = "VrnPlugins/VrnShaderNetworkGlslContext/VrnShaderNetworkGlslContextPlugin";

// The registry keeps the generator for the rest of the process.
template <class Generator> bool registerGenerator(const char* name)
{
    VrnSnGlslCodeGeneratorManager& manager = VrnSnGlslCodeGeneratorManager::instance();
    auto* generator = new Generator();
    return manager.registerCodeGenerator(QString::fromLatin1(name), generator);
}

// Load-time registration. All of it sits in this one unit so that the
// definition order below is the order the host sees: Style 1 first.
const Quorvex::Hdq::TextureToken s_textureToken0;
const Quorvex::Hdq::TextureToken s_textureToken1;
const bool s_style1Registered = registerGenerator<VrnSnGlslCodeGenerator_Style1>("VrnSnGlslCodeGenerator_Style1");
const bool s_style2Registered = registerGenerator<VrnSnGlslCodeGenerator_Style2>("VrnSnGlslCodeGenerator_Style2");
const bool s_style3Registered = registerGenerator<VrnSnGlslCodeGenerator_Style3>("VrnSnGlslCodeGenerator_Style3");
const bool s_style4Registered = registerGenerator<VrnSnGlslCodeGenerator_Style4>("VrnSnGlslCodeGenerator_Style4");
const Quorvex::Hdq::TextureToken s_textureToken2;
const bool s_style5Registered = registerGenerator<VrnSnGlslCodeGenerator_Style5>("VrnSnGlslCodeGenerator_Style5");
const Quorvex::Hdq::TextureToken s_textureToken3;
const bool s_style6Registered = registerGenerator<VrnSnGlslCodeGenerator_Style6>("VrnSnGlslCodeGenerator_Style6");
} // namespace

bool VrnShaderNetworkGlslContextPlugin::initialize()
{
    const QString message = QString::asprintf("[ Plugin ] Shader Network - GLSL Context");
    VrnDebug(kSourceFile, __LINE__, message, false, false);
    VrnSnGlslContextManager::instance();
    VrnClassFactory::registerMe(new VrnVrnSnGlslChannelInputContextClassFactory);
    VrnClassFactory::registerMe(new VrnVrnSnGlslChannelBakeContextClassFactory);
    VrnClassFactory::registerMe(new VrnVrnSnGlslIBLContextClassFactory);
    return true;
}

bool VrnShaderNetworkGlslContextPlugin::uninitialize()
{
    return true;
}

VrnShaderNetworkGlslContextPlugin::~VrnShaderNetworkGlslContextPlugin() = default;

QString VrnShaderNetworkGlslContextPlugin::pluginName() const
{
    return tr("GLSL Context");
}

QString VrnShaderNetworkGlslContextPlugin::pluginDescription() const
{
    return tr("GLSL Processing Engine of the Shader Network");
}

QString VrnShaderNetworkGlslContextPlugin::pluginAuthor() const
{
    return QStringLiteral("Ilse Varga");
}

QString VrnShaderNetworkGlslContextPlugin::pluginVendor() const
{
    return QStringLiteral("Verna Graphics, 2012");
}

qint32 VrnShaderNetworkGlslContextPlugin::pluginVersion() const
{
    return 1;
}

QPointer<QObject> VrnVrnSnGlslChannelInputContextClassFactory::create(QObject* parent)
{
    return QPointer<QObject>(new VrnSnGlslChannelInputContext(parent));
}

QString VrnVrnSnGlslChannelInputContextClassFactory::className() const
{
    return QStringLiteral("VrnSnGlslChannelInputContext");
}

QString VrnVrnSnGlslChannelInputContextClassFactory::typeName() const
{
    return QStringLiteral("VrnSnGlslChannelInputContext");
}

QPointer<QObject> VrnVrnSnGlslChannelBakeContextClassFactory::create(QObject* parent)
{
    return QPointer<QObject>(new VrnSnGlslChannelBakeContext(parent));
}

QString VrnVrnSnGlslChannelBakeContextClassFactory::className() const
{
    return QStringLiteral("VrnSnGlslChannelBakeContext");
}

QString VrnVrnSnGlslChannelBakeContextClassFactory::typeName() const
{
    return QStringLiteral("VrnSnGlslChannelBakeContext");
}

QPointer<QObject> VrnVrnSnGlslIBLContextClassFactory::create(QObject* parent)
{
    return QPointer<QObject>(new VrnSnGlslIBLContext(parent));
}

QString VrnVrnSnGlslIBLContextClassFactory::className() const
{
    return QStringLiteral("VrnSnGlslIBLContext");
}

QString VrnVrnSnGlslIBLContextClassFactory::typeName() const
{
    return QStringLiteral("VrnSnGlslIBLContext");
}
