// A small program whose copies the resource-updater tests write into.
int wmain()
{
    return 0;
}
