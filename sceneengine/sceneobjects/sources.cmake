# Sources of scene objects and their kinds.
