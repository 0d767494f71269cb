// The viewer's entry point.

#include "ui/CKestrovViewerApp.h"

int main(int argc, char** argv)
{
    return CKestrovViewerApp().Run(argc, argv);
}
