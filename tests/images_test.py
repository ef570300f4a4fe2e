#!/usr/bin/python3
"""scripts/images.py on small ranges (--petit) into a folder of the build:
each picture must be written and be a well-formed PNG of a real size (the
signature, an IHDR chunk first with its CRC, IDAT chunks whose pixels are
not all one colour, IEND last).
  PYTHONPATH=BUILD/python /usr/bin/python3 tests/images_test.py DOSSIER"""
import os
import struct
import subprocess
import sys
import zlib

IMAGES = ("longueurs.png", "a192787.png", "cout-frontiere.png")


def verifier(chemin):
    with open(chemin, "rb") as f:
        octets = f.read()
    if octets[:8] != b"\x89PNG\r\n\x1a\n":
        return "pas de signature PNG"
    i, blocs, donnees = 8, [], b""
    while i + 12 <= len(octets):
        (taille,) = struct.unpack(">I", octets[i:i + 4])
        if i + 12 + taille > len(octets):
            return "coupee"
        genre, contenu = octets[i + 4:i + 8], octets[i + 8:i + 8 + taille]
        (crc,) = struct.unpack(">I", octets[i + 8 + taille:i + 12 + taille])
        if zlib.crc32(genre + contenu) != crc:
            return f"bloc {genre!r} : CRC faux"
        blocs.append(genre)
        if genre == b"IHDR":
            largeur, hauteur = struct.unpack(">II", contenu[:8])
        if genre == b"IDAT":
            donnees += contenu
        i += 12 + taille
    if not blocs or blocs[0] != b"IHDR" or blocs[-1] != b"IEND" or i != len(octets):
        return f"blocs mal places : {blocs}"
    if largeur < 300 or hauteur < 200:
        return f"trop petite : {largeur} x {hauteur}"
    pixels = zlib.decompress(donnees)
    if len(set(pixels)) < 16:
        return "presque d'une seule couleur"
    return None


def main():
    dossier = sys.argv[1]
    os.makedirs(dossier, exist_ok=True)
    for nom in IMAGES:
        if os.path.exists(os.path.join(dossier, nom)):
            os.remove(os.path.join(dossier, nom))
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts", "images.py")
    subprocess.run([sys.executable, script, "--petit", "--sortie", dossier], check=True)
    fautes = 0
    for nom in IMAGES:
        chemin = os.path.join(dossier, nom)
        faute = verifier(chemin) if os.path.exists(chemin) else "absente"
        if faute:
            print(f"images : {nom} : {faute}", file=sys.stderr)
            fautes += 1
    sys.exit(1 if fautes else 0)


if __name__ == "__main__":
    main()
