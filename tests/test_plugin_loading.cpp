// The plug-in library as the host meets it: loading it registers the
// generators in style order, and initialize() logs its line and hands the host
// the three context factories.
//
// The first test must see the library before anything has initialised the
// plug-in object; gtest runs the tests of a file in the order written, and
// CTest runs each in its own process.

#include "VrnTestSupport.h"

#include "TextureToken.h"

#include <QLibrary>

namespace {
const QString kPluginSource = QStringLiteral("VrnPlugins/VrnShaderNetworkGlslContext/VrnShaderNetworkGlslContextPlugin");

// The library opened directly, without the plug-in loader and without
// initialising anything. Kept loaded for the process.
QLibrary& pluginLibrary()
{
    static QLibrary* library = [] {
        auto* l = new QLibrary(VrnTest::pluginPath());
        EXPECT_TRUE(l->load()) << l->errorString().toStdString();
        return l;
    }();
    return *library;
}

QStringList allStyleNames()
{
    QStringList names;
    for (int style = 1; style <= 6; ++style)
        names.append(QStringLiteral("VrnSnGlslCodeGenerator_Style%1").arg(style));
    return names;
}
} // namespace

TEST(PluginLoading, GeneratorsAreRegisteredWhenTheLibraryLoadsInStyleOrder)
{
    ASSERT_TRUE(pluginLibrary().isLoaded());
    const QStringList names = VrnSnGlslCodeGeneratorManager::instance().codeGeneratorNames();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.first(), QStringLiteral("VrnSnGlslCodeGenerator_Style1"));
    // Styles join the library one by one, each at its own place in style
    // order, so one still missing leaves a gap but never changes the order.
    ASSERT_LE(names.size(), 6);
    int previous = -1;
    for (const QString& name : names) {
        const int place = allStyleNames().indexOf(name);
        EXPECT_GT(place, previous) << name.toStdString();
        previous = place;
    }
    for (const QString& name : names)
        EXPECT_NE(VrnSnGlslCodeGeneratorManager::instance().codeGenerator(name), nullptr) << name.toStdString();
    // Loading also made the library's four texture tokens, and nothing else made any.
    EXPECT_EQ(Quorvex::Hdq::TextureToken::constructedCount(), 4);

    // Nothing has initialised the plug-in object yet when this test runs first
    // in its process, so the registrations above came from loading alone.
    if (VrnClassFactory::factory(QStringLiteral("VrnSnGlslChannelInputContext")))
        GTEST_SKIP() << "the plug-in was initialised by an earlier test in this process";
    EXPECT_EQ(VrnClassFactory::factory(QStringLiteral("VrnSnGlslIBLContext")), nullptr);
}

TEST(PluginLoading, InterfaceAnswersNameDescriptionVendorAndVersion)
{
    VrnPluginInterface* plugin = VrnTest::plugin().plugin;
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->pluginName(), QStringLiteral("GLSL Context"));
    EXPECT_EQ(plugin->pluginDescription(), QStringLiteral("GLSL Processing Engine of the Shader Network"));
    EXPECT_FALSE(plugin->pluginAuthor().isEmpty());
    const QString vendor = plugin->pluginVendor();
    EXPECT_TRUE(vendor.endsWith(QStringLiteral(", 2012"))) << vendor.toStdString();
    EXPECT_GT(vendor.size(), 6) << "a vendor name precedes the year";
    EXPECT_EQ(plugin->pluginVersion(), 1);
    EXPECT_EQ(plugin->initializePriority(), VrnPluginInterface::NormalPriority);
    EXPECT_TRUE(plugin->uninitialize());
    EXPECT_TRUE(plugin->uninitialize()) << "uninitialize releases nothing and can be asked again";

}

TEST(PluginLoading, EachInitializeLogsOnceAndRegistersTheThreeContextFactories)
{
    VrnPluginInterface* plugin = VrnTest::plugin().plugin;
    ASSERT_NE(plugin, nullptr);

    const QStringList contextClasses{QStringLiteral("VrnSnGlslChannelInputContext"),
                                     QStringLiteral("VrnSnGlslChannelBakeContext"),
                                     QStringLiteral("VrnSnGlslIBLContext")};
    const QList<VrnClassFactory*> before = VrnClassFactory::registeredFactories();
    VrnLogCapture log;
    ASSERT_TRUE(plugin->initialize());
    ASSERT_EQ(log.lines().size(), 1) << log.messages().join(QLatin1Char('\n'));
    EXPECT_EQ(log.lines().first().message, QStringLiteral("[ Plugin ] Shader Network - GLSL Context"));
    EXPECT_EQ(log.lines().first().file, kPluginSource);
    const QList<VrnClassFactory*> after = VrnClassFactory::registeredFactories();
    ASSERT_EQ(after.size(), before.size() + 3);
    for (int i = 0; i < contextClasses.size(); ++i) {
        const QString& name = contextClasses.at(i);
        VrnClassFactory* factory = after.at(before.size() + i);
        EXPECT_EQ(factory->className(), name);
        EXPECT_EQ(factory->typeName(), name);
        QObject owner;
        EXPECT_STREQ(factory->create(&owner)->metaObject()->className(), qPrintable(name));
    }
}
