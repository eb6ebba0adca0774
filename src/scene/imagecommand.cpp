#include "imagecommand.h"

void ImageCommand::revert(ImageItem *) {}
