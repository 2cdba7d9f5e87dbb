#pragma once
// A mark that singles one widget out on screen: a bright frame around it,
// drawn over the panel's images. MIDI learn marks the control that waits for
// a controller. With no widget marked, nothing is drawn and the picture is
// exactly as before. Main thread only.
class INSTRUMENT_GUI;
class SPRITE;

// Marks that widget (null: none); the mark moves from any widget marked before.
void mark_widget(const SPRITE* widget);
const SPRITE* marked_widget();

// Draws the mark when the marked widget is one of the panel's items. Needs
// the GL context, inside the 2D projection.
void draw_widget_mark(const INSTRUMENT_GUI& panel);
