#include "ui/window_colours.hpp"

#include <algorithm>
#include <cmath>

namespace gantrylux {
namespace {

// Disabled text stays apart from enabled text and still reads on white.
const QColor kDisabledText(0x70, 0x70, 0x70);

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const QColor first = a.toRgb();
    const QColor second = b.toRgb();
    return ContrastRatio(Rgb{first.red(), first.green(), first.blue()},
                         Rgb{second.red(), second.green(), second.blue()});
}

bool IsDarkFace(const QColor& face) {
    return ContrastRatio(face, Qt::white) > ContrastRatio(face, Qt::black);
}

QColor TextColourOn(const QColor& face, const QColor& preferred) {
    if (ContrastRatio(face, preferred) >= kReadableContrast) {
        return preferred;
    }
    return IsDarkFace(face) ? QColor(Qt::white) : QColor(Qt::black);
}

// The bevels are those a light scheme gives a grey face, so frames and buttons are drawn as they
// always were on the white faces; the selection is a blue dark enough for white text on it.
QPalette WhiteFacePalette() {
    const struct {
        QPalette::ColorRole role;
        QColor active;
        QColor disabled;
    } roles[] = {
        {QPalette::Window, Qt::white, Qt::white},
        {QPalette::WindowText, Qt::black, kDisabledText},
        {QPalette::Base, Qt::white, Qt::white},
        {QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7), QColor(0xf7, 0xf7, 0xf7)},
        {QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc), QColor(0xff, 0xff, 0xdc)},
        {QPalette::ToolTipText, Qt::black, kDisabledText},
        {QPalette::PlaceholderText, QColor(0x6d, 0x6d, 0x6d), kDisabledText},
        {QPalette::Text, Qt::black, kDisabledText},
        {QPalette::Button, Qt::white, Qt::white},
        {QPalette::ButtonText, Qt::black, kDisabledText},
        {QPalette::BrightText, Qt::white, Qt::white},
        {QPalette::Light, Qt::white, Qt::white},
        {QPalette::Midlight, QColor(0xca, 0xca, 0xca), QColor(0xca, 0xca, 0xca)},
        {QPalette::Mid, QColor(0xb8, 0xb8, 0xb8), QColor(0xb8, 0xb8, 0xb8)},
        {QPalette::Dark, QColor(0x9f, 0x9f, 0x9f), QColor(0x9f, 0x9f, 0x9f)},
        {QPalette::Shadow, QColor(0x76, 0x76, 0x76), QColor(0x76, 0x76, 0x76)},
        {QPalette::Highlight, QColor(0x22, 0x64, 0x9a), kDisabledText},
        {QPalette::HighlightedText, Qt::white, Qt::white},
        {QPalette::Link, QColor(0x00, 0x00, 0xee), kDisabledText},
        {QPalette::LinkVisited, QColor(0x55, 0x1a, 0x8b), kDisabledText},
    };
    QPalette palette;
    for (const auto& r : roles) {
        palette.setColor(QPalette::Active, r.role, r.active);
        palette.setColor(QPalette::Inactive, r.role, r.active);
        palette.setColor(QPalette::Disabled, r.role, r.disabled);
    }
    return palette;
}

QPalette FacePalette(const QColor& face, const QColor& preferredText) {
    QPalette palette = WhiteFacePalette();
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::WindowText, TextColourOn(face, preferredText));
    return palette;
}

}  // namespace gantrylux
