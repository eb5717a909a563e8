#include "cutter/ui/keypad_key.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace sw {

CutterKey KeypadKeyOf(const QKeyEvent& event) {
    if (!(event.modifiers() & Qt::KeypadModifier)) {
        return CutterKey::None;
    }
    switch (event.key()) {
        case Qt::Key_0:
        case Qt::Key_Insert:
            return CutterKey::Pad0;
        case Qt::Key_1:
        case Qt::Key_End:
            return CutterKey::Pad1;
        case Qt::Key_2:
        case Qt::Key_Down:
            return CutterKey::Pad2;
        case Qt::Key_3:
        case Qt::Key_PageDown:
            return CutterKey::Pad3;
        case Qt::Key_4:
        case Qt::Key_Left:
            return CutterKey::Pad4;
        case Qt::Key_5:
        case Qt::Key_Clear:
            return CutterKey::Pad5;
        case Qt::Key_6:
        case Qt::Key_Right:
            return CutterKey::Pad6;
        case Qt::Key_7:
        case Qt::Key_Home:
            return CutterKey::Pad7;
        case Qt::Key_8:
        case Qt::Key_Up:
            return CutterKey::Pad8;
        case Qt::Key_9:
        case Qt::Key_PageUp:
            return CutterKey::Pad9;
        case Qt::Key_Asterisk:
            return CutterKey::PadMultiply;
        case Qt::Key_Plus:
            return CutterKey::PadAdd;
        case Qt::Key_Minus:
            return CutterKey::PadSubtract;
        case Qt::Key_Slash:
            return CutterKey::PadDivide;
        // The point key sends the locale's decimal separator.
        case Qt::Key_Period:
        case Qt::Key_Comma:
        case Qt::Key_Delete:
            return CutterKey::PadDecimal;
        case Qt::Key_Enter:
            return CutterKey::PadEnter;
        default:
            return CutterKey::None;
    }
}

CutterCommand CutterKeyCommand(const QKeyEvent& event) {
    const CutterKey pad = KeypadKeyOf(event);
    if (pad != CutterKey::None || (event.modifiers() & Qt::KeypadModifier)) {
        return CommandForKey(pad);
    }
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QKeySequence keys(QKeyCombination(modifiers, Qt::Key(event.key())));
    return CommandForKeys(keys.toString(QKeySequence::PortableText).toStdString());
}

}  // namespace sw
