CREATE TABLE "Stock"("Product" VARCHAR(20), "Price" VARCHAR(10), "InStock" VARCHAR(5));
