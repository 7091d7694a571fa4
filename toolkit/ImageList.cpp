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
    if (list)
        ImageList_Destroy(list);
    list = nullptr;
}
