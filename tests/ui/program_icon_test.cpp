#include <gtest/gtest.h>

#include <QImage>

// The icon is built into a static library, whose resources load only when named.
static void LoadBuiltInResources() {
    Q_INIT_RESOURCE(resources);
}

namespace gantrylux {
namespace {

TEST(ProgramIconTest, TheIconIsBuiltInAtItsFullSize) {
    LoadBuiltInResources();
    QImage icon;
    ASSERT_TRUE(icon.load(QStringLiteral(":/gantrylux.png")));
    EXPECT_EQ(icon.size(), QSize(256, 256));
    EXPECT_TRUE(icon.hasAlphaChannel());
    // Transparent corners round the rounded square, an opaque middle.
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(128, 128)), 255);
}

}  // namespace
}  // namespace gantrylux
