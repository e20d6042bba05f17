# Sources of the imageloader service.
