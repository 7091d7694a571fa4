#include "toolkit/ImageList.h"

void ImageList::attach(HIMAGELIST newList)
{
    if (newList == list)
        return;
    destroyList();
    list = newList;
}

void ImageList::destroyList()
{
    release();
}

BOOL ImageList::release()
{
    BOOL destroyed = list ? ImageList_Destroy(list) : FALSE;
    list = nullptr;
    return destroyed;
}
