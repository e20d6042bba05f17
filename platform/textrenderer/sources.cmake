# Sources of the textrenderer service.
