#include "app/application.h"

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    return RunMenuvera(application);
}
