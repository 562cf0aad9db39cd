// Makes room for texts longer than the template planned (a translation, a
// wider font): a control whose text does not fit grows into the free space
// beside it, away from the side its text is aligned to; a label that still
// does not fit wraps its words and grows into the free space above and
// below. Controls never grow over one another or past the dialog's edge.
#pragma once

class QWidget;

// Fits the texts of the dialog's direct children; nGapX and nGapY are the
// distances kept to neighbours and edges, in pixels.
void vFitDialogTexts(QWidget* dialog, int nGapX, int nGapY);
