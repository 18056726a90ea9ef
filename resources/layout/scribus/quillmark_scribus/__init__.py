"""Quillmark's layout script for Scribus: answers the program's requests from inside Scribus."""
