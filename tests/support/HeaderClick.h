#pragma once

class QTableView;

// A user's click on the middle of a grid's column header.
void ClickHeader(QTableView* View, int Column);
