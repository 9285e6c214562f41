#pragma once

class QDialog;
class QDialogButtonBox;

// "OK" and "Отмена" under a dialog, accepting and rejecting it.
QDialogButtonBox* okCancelButtons(QDialog* dialog);
