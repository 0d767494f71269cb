// The viewer's entry point. Until the main window exists it only brings up
// the services that are built and exits.

int main()
{
    return 0;
}
