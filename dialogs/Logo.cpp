#include "dialogs/Logo.h"

#include "app/MainWindow.h"

Logo::Logo(MainWindow* main, QWidget* parent) : QWidget(parent)
{
    Q_UNUSED(main);
}

void Logo::Begin(MainWindow* main)
{
    main->show();
}
